#include "HtmlDocument.h"

#include "GumboElements.h"
#include "HtmlNesting.h"

#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <gumbo.h>

namespace {

// Every block gumbo allocates, kept on a list so that the whole tree can be freed without walking it:
// gumbo_destroy_output frees the tree by recursion, one stack frame a level, so a deep enough tree
// ends the program. The list also lets a parse be abandoned half-way: gumbo asks for memory at
// every tag, and when the reader is told to stop, the request jumps back out of gumbo (C code, with
// nothing to unwind) and every block is freed here.
class GumboMemory {
public:
    explicit GumboMemory(const std::stop_token& stop)
        : m_stop(stop)
    {
    }
    GumboMemory(const GumboMemory&) = delete;
    GumboMemory& operator=(const GumboMemory&) = delete;
    ~GumboMemory()
    {
        for (Block* block = m_blocks.next; block != &m_blocks;) {
            Block* next = block->next;
            std::free(block);
            block = next;
        }
    }

    // The parse of `utf8`, or nothing when it was stopped or memory ran out. The output stays valid
    // while this object lives, and must not be given to gumbo_destroy_output.
    const GumboOutput* parse(const QByteArray& utf8)
    {
        GumboOptions options = kGumboDefaultOptions;
        options.allocator = &GumboMemory::allocate;
        options.deallocator = &GumboMemory::deallocate;
        options.userdata = this;
        // Parse errors are not kept: recording each one costs more than the parse itself,
        // quadratically so for deeply nested tags.
        options.max_errors = 0;
        // Columns count characters, as editors and compilers count them, a tab one of them.
        options.tab_stop = 1;
        return parse(options, utf8);
    }

private:
    struct alignas(std::max_align_t) Block {
        Block* previous;
        Block* next;
    };

    // Kept apart from everything that has a destructor: longjmp may leave only this frame.
    const GumboOutput* parse(const GumboOptions& options, const QByteArray& utf8)
    {
        if (setjmp(m_abandon) != 0)
            return nullptr;
        return gumbo_parse_with_options(&options, utf8.constData(), std::size_t(utf8.size()));
    }

    static void* allocate(void* userdata, std::size_t size)
    {
        auto* self = static_cast<GumboMemory*>(userdata);
        auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
        if (!block || self->m_stop.stop_requested()) {
            std::free(block);
            std::longjmp(self->m_abandon, 1);
        }
        block->previous = &self->m_blocks;
        block->next = self->m_blocks.next;
        block->next->previous = block;
        self->m_blocks.next = block;
        return block + 1;
    }

    static void deallocate(void*, void* pointer)
    {
        if (!pointer)
            return;
        Block* block = static_cast<Block*>(pointer) - 1;
        block->previous->next = block->next;
        block->next->previous = block->previous;
        std::free(block);
    }

    const std::stop_token& m_stop;
    Block m_blocks{&m_blocks, &m_blocks};
    std::jmp_buf m_abandon;
};

} // namespace

bool HtmlDocument::parse(
    QStringView text, const std::stop_token& stop, const std::function<void(const GumboInternalOutput& output)>& visit)
{
    QByteArray utf8 = text.toUtf8();
    const bool cut = HtmlNesting::flatten(utf8, stop).cut;
    GumboMemory memory(stop);
    if (const GumboOutput* output = memory.parse(utf8))
        visit(*output);
    return cut;
}

HtmlDocument::HtmlDocument(QStringView text, const std::stop_token& stop)
{
    parse(text, stop, [this](const GumboOutput& output) { read(output); });
}

void HtmlDocument::read(const GumboInternalOutput& parsed)
{
    const GumboOutput* output = &parsed;
    // Walked with a list rather than recursion, so that deep nesting cannot exhaust the stack.
    struct Pending {
        const GumboNode* node;
        int depth;
        bool inert; // inside noscript: a browser runs scripts, so what noscript holds is text to it
    };
    QList<Pending> pending{{output->root, 1, false}};
    while (!pending.isEmpty()) {
        const auto [node, depth, inertParent] = pending.takeLast();
        // A template's content is inert: its style elements do nothing.
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        m_depth = std::max(m_depth, depth);
        const GumboElement& element = node->v.element;
        const bool inert = inertParent || element.tag == GUMBO_TAG_NOSCRIPT;
        for (unsigned int i = element.children.length; i > 0; --i)
            pending.append({static_cast<const GumboNode*>(element.children.data[i - 1]), depth + 1, inert});
        if (inert)
            continue;
        if (element.tag == GUMBO_TAG_HTML && element.tag_namespace == GUMBO_NAMESPACE_HTML && node == output->root)
            m_html = GumboElements::attributes(element);
        else if (element.tag == GUMBO_TAG_BODY && element.tag_namespace == GUMBO_NAMESPACE_HTML && m_body.isEmpty())
            m_body = GumboElements::attributes(element);
        if (element.tag == GUMBO_TAG_STYLE) {
            QString media;
            for (const auto& [name, value] : GumboElements::attributes(element)) {
                if (name == QLatin1String("media"))
                    media = value;
            }
            m_sheets.append({media, GumboElements::textOf(element)});
        }
    }
}
