#include "ContrastCommand.h"
#include "PageReport.h"

#include "colour/Apca.h"
#include "colour/Contrast.h"
#include "css/ColourText.h"
#include "files/ByteName.h"
#include "files/LinkedSheets.h"
#include "files/PrintableText.h"
#include "files/ReadFile.h"
#include "files/SchemeFile.h"
#include "formats/FoundText.h"
#include "web/TagReader.h"
#include "web/TextLimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <optional>

namespace ContrastCommand {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ContrastCommand", text);
}

const char* const OptionNames[] = {"aa", "aaa", "apca60", "apca75", "apca90"};

QString hex(const Rgb& colour)
{
    return colour.name().toUpper();
}

// "#CECEFF,#0055AA,#007C00,#003C00,#00B500": five colours, or nothing when `text` is not that.
std::optional<ColourScheme> fiveColours(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != Slot::Count)
        return std::nullopt;
    ColourScheme scheme;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const std::optional<Rgb> colour = ColourText::parse(parts.at(slot).trimmed());
        if (!colour)
            return std::nullopt;
        const Rgb c = *colour;
        scheme.setChannel(slot, Channel::Red, static_cast<qint16>(c.red()));
        scheme.setChannel(slot, Channel::Green, static_cast<qint16>(c.green()));
        scheme.setChannel(slot, Channel::Blue, static_cast<qint16>(c.blue()));
    }
    return scheme;
}

struct Loaded {
    Loaded(std::optional<ColourScheme> scheme_,
        QString problem_ = {},
        bool page_ = false,
        QStringList notes_ = {},
        bool schemeSensitive_ = false,
        QList<ReadingNotes::Reason> shortfalls_ = {},
        std::optional<PageJudgement> judgement_ = {})
        : scheme(std::move(scheme_))
        , problem(std::move(problem_))
        , page(page_)
        , notes(std::move(notes_))
        , schemeSensitive(schemeSensitive_)
        , shortfalls(std::move(shortfalls_))
        , judgement(std::move(judgement_))
    {
    }

    std::optional<ColourScheme> scheme;
    QString problem; // when there is no scheme: what went wrong, naming the argument
    bool page = false; // read from a page or style sheet, which may differ between colour schemes
    QStringList notes; // linked style sheets not read
    bool schemeSensitive = false; // whether the other colour scheme may read differently
    // Why the page was read only in part: its colours are then not what a browser shows, and are
    // never judged as if they were.
    QList<ReadingNotes::Reason> shortfalls;
    // Every text of a page or style sheet judged, when it was asked for.
    std::optional<PageJudgement> judgement;
    QString file; // the file read, as an absolute path; empty for five colours and standard input
    // When there is no scheme: what went wrong for JSON ("missing", "binary", ...) and in words, without
    // the argument's name.
    QString error;
    QString message;
};

// An argument that could not be read: `code` names the error for JSON, `message` says it.
Loaded failed(const QString& shown, const char* code, const QString& message)
{
    Loaded loaded{std::nullopt, QStringLiteral("%1: %2").arg(shown, message)};
    loaded.error = QLatin1StringView(code);
    loaded.message = message;
    return loaded;
}

// What a page's texts must reach to meet `target`.
PageJudgement::Needs needsFor(ContrastFixer::Target target, bool linksUnderlined)
{
    PageJudgement::Needs needs
        = target == ContrastFixer::Target::AAA ? PageJudgement::Needs::aaa() : PageJudgement::Needs::aa();
    if (ContrastFixer::isApca(target))
        needs.lc = ContrastFixer::levelFor(target);
    needs.linksUnderlined = linksUnderlined;
    return needs;
}

// Whether what a reading left out is only style sheets it could not read, which --allow-missing lets a
// page be judged without.
bool onlySheetsMissing(const QList<ReadingNotes::Reason>& shortfalls)
{
    return !shortfalls.isEmpty() && std::all_of(shortfalls.begin(), shortfalls.end(), [](ReadingNotes::Reason reason) {
        return reason == ReadingNotes::Reason::SheetNotRead;
    });
}

// Whether two judgements of one page differ in any text's colours or verdict.
bool judgedAlike(const std::optional<PageJudgement>& one, const std::optional<PageJudgement>& other)
{
    if (!one || !other)
        return !one && !other;
    if (one->elements.size() != other->elements.size())
        return false;
    for (qsizetype i = 0; i < one->elements.size(); ++i) {
        const PageJudgement::Element& a = one->elements.at(i);
        const PageJudgement::Element& b = other->elements.at(i);
        if (a.foreground != b.foreground || a.background != b.background || a.verdict != b.verdict)
            return false;
    }
    return true;
}

// Why a reading stopped short, in words: "it is too complex to read to the end".
QString shortfallWords(const QList<ReadingNotes::Reason>& shortfalls)
{
    QStringList words;
    for (const ReadingNotes::Reason reason : shortfalls)
        words << ReadingNotes::words(reason);
    return words.join(QStringLiteral("; "));
}

QJsonArray reasonsJson(const QList<ReadingNotes::Reason>& shortfalls)
{
    QJsonArray reasons;
    for (const ReadingNotes::Reason reason : shortfalls)
        reasons.append(ReadingNotes::code(reason));
    return reasons;
}

// Standard input, read once however many times "-" is named or read.
const ReadFile::Result& standardInput()
{
    static const ReadFile::Result input = ReadFile::readStandardInput(TextLimit::MaxFileBytes);
    return input;
}

// `shared` carries what one reading of a page parsed to the next reading of the same file; `needs`, when
// given, has every text of a page or style sheet judged.
Loaded load(const QByteArray& argument,
    bool dark = false,
    const std::shared_ptr<PageColours::Shared>& shared = {},
    const std::optional<PageJudgement::Needs>& needs = {})
{
    const ByteName file(argument);
    const QString name = file.shown();
    if (const auto scheme = fiveColours(name))
        return {scheme, {}};
    // The name is printed as text the user can trust: a line end in it must not start a line of its own.
    const QString shown = PrintableText::escaped(name);
    TagReader::Options options;
    options.dark = dark;
    ReadFile::Result read;
    if (argument == "-") {
        // Standard input is read as pasted text is, sniffed for markup, with no folder for its links; but,
        // as a file is, as a browser shows it, the browser's defaults and all.
        options.asShown = true;
        read = standardInput();
        if (!read.ok())
            return failed(shown, "unreadable", tr("cannot read standard input: %1").arg(read.reason()));
        options.loader.locate = [](const QString& href, const QString&) {
            return SheetPlace{{},
                tr("The style sheet %1 was not read: standard input has no folder to find it in.")
                    .arg(ReadingNotes::quoted(href))};
        };
        options.loader.read = [](const QString&) { return LoadedSheet{}; };
    } else {
        const QFileInfo info(file.path());
        if (!info.exists())
            return failed(shown, "missing",
                tr("no such file, and not five colours such as #CECEFF,#0055AA,#007C00,#003C00,#00B500"));
        if (!info.isFile())
            return failed(shown, "not-a-file", tr("not a file"));
        if (QFileInfo(name).suffix().compare(QStringLiteral("hlm"), Qt::CaseInsensitive) == 0) {
            SchemeFile::Failure failure;
            if (const auto scheme = SchemeFile::read(file.path(), nullptr, &failure)) {
                Loaded loaded{scheme, {}};
                loaded.file = file.linkBase();
                return loaded;
            }
            if (failure.kind == SchemeFile::Failure::Kind::NotScheme)
                return failed(shown, "not-a-scheme", tr("not a scheme file: %1").arg(failure.detail));
            if (failure.kind == SchemeFile::Failure::Kind::Empty)
                return failed(shown, "empty", tr("not a scheme file: it is empty"));
            return failed(shown, "unreadable", tr("cannot read: %1").arg(failure.detail));
        }
        // Opened as scheme files are: a FIFO put in the file's place since the look above is refused at
        // once. No longer than the tag box holds (TextLimit); a longer page is said to be so rather than
        // read in part.
        read = ReadFile::read(file.path(), TextLimit::MaxFileBytes);
        if (!read.ok())
            return failed(shown, "unreadable", tr("cannot read: %1").arg(read.reason()));
        // As a browser reads the file, with the style sheets it links from this computer.
        options.kind = TagReader::kindOfFile(name);
        options.fileName = file.linkBase();
        options.loader = LocalSheets::loader();
    }
    // What is no page at all is said to be so, not judged as the browser's defaults it would show.
    if (PageReport::looksBinary(read.data))
        return failed(shown, "binary", tr("not a page or style sheet: it is binary, not text"));
    const QString text = QString::fromUtf8(read.data);
    if (!read.complete || TextLimit::tooLong(text.size()))
        return failed(shown, "too-large", TextLimit::tooLongMessage());
    if (PageReport::blank(text))
        return failed(shown, "empty",
            read.data.isEmpty()
                ? (argument == "-" ? tr("empty page: standard input is empty") : tr("empty page: the file is empty"))
                : tr("empty page: it holds nothing but white space"));
    // Words with no markup and no rule (no block, no @import) are neither a page nor a style sheet.
    if (TagReader::sniff(text, options.kind) == TagReader::TextKind::StyleSheet && !text.contains(u'{')
        && !text.contains(QLatin1String("@import"), Qt::CaseInsensitive))
        return failed(shown, "not-a-page", tr("not a page or style sheet: it holds no markup and no CSS rules"));
    options.shared = shared;
    options.judge = needs;
    const TagReader::Reading reading = TagReader::readExplained(text, options);
    const TagReader::Found& found = reading.found;
    bool anyColour = false;
    for (const auto& colour : found.colours)
        anyColour = anyColour || colour.has_value();
    if (!anyColour)
        return failed(shown, "no-colours", tr("no body or link colours found"));
    // As Apply Tag does on a new scheme: what the page gives, over the default colours.
    ColourScheme scheme = ColourScheme::defaults();
    Margins margins;
    FoundText::apply(found, scheme, margins);
    Loaded loaded{scheme, {}, true, reading.notes, reading.schemeSensitive, reading.shortfalls, reading.judgement};
    loaded.file = options.fileName;
    return loaded;
}

// The name of an audited pair in the output: its fore colour, and "from text" for one against the text.
QString pairName(const ContrastAudit::PairKind& kind)
{
    static const char* const names[Slot::Count] = {"background", "text", "link", "visited", "active"};
    const QString fore = QLatin1StringView(names[kind.fore]);
    return kind.fromText() ? fore + QStringLiteral(" from text") : fore;
}

QString optionName(ContrastFixer::Target target)
{
    return QLatin1StringView(OptionNames[static_cast<int>(target)]);
}

QJsonArray coloursJson(const ColourScheme& scheme)
{
    QJsonArray colours;
    for (int slot = 0; slot < Slot::Count; ++slot)
        colours.append(hex(scheme.colour(slot)));
    return colours;
}

// One compact JSON object and a line end, as --json prints it.
QString jsonLine(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

} // namespace

bool targetNamed(const QString& name, ContrastFixer::Target* target)
{
    for (const ContrastFixer::Target t : ContrastFixer::Targets) {
        if (name.compare(optionName(t), Qt::CaseInsensitive) == 0) {
            *target = t;
            return true;
        }
    }
    return false;
}

Result check(const Options& options)
{
    Result result;
    QJsonArray schemes;
    QHash<QString, QByteArray> elements; // each scheme's, by the text standing in its place
    QStringList lines;
    const QString currentFolder = QDir::currentPath();
    PageReport::Sarif sarif;
    sarif.version = QStringLiteral(HUELOOM_VERSION);
    sarif.currentFolder = currentFolder;
    const PageJudgement::Needs needs = needsFor(options.target, options.linksUnderlined);
    // Each scheme to report: a page or style sheet in the colour scheme asked for, or in light and,
    // when any colour or any text's verdict differs there, in dark as well.
    struct Entry {
        QByteArray argument;
        Loaded loaded;
        QString colourScheme; // empty for a scheme that has one only
    };
    QList<Entry> entries;
    for (const QByteArray& argument : options.schemes) {
        const auto shared = std::make_shared<PageColours::Shared>();
        result.retained = shared; // the previous file's is freed here
        Loaded loaded = load(argument, options.darkScheme.value_or(false), shared, needs);
        QStringList said;
        const auto sayNotes = [&](const QStringList& notes) {
            for (const QString& note : notes) {
                if (said.contains(note))
                    continue;
                said << note;
                result.notes
                    += QStringLiteral("hueloom: %1: %2\n")
                           .arg(PrintableText::escaped(QFile::decodeName(argument)), PrintableText::escaped(note));
            }
        };
        sayNotes(loaded.notes);
        if (!loaded.page) {
            entries.append({argument, loaded, {}});
            continue;
        }
        const bool dark = options.darkScheme.value_or(false);
        entries.append({argument, loaded, dark ? QStringLiteral("dark") : QStringLiteral("light")});
        if (!options.darkScheme && loaded.scheme && loaded.schemeSensitive) {
            // The dark reading is reported when it shows other colours, or when it was read in part where
            // the light one was not (a sheet only the dark scheme links, missing), or when any text reads
            // otherwise there: never passed over as the same.
            const Loaded darkLoaded = load(argument, true, shared, needs);
            if (darkLoaded.scheme
                && (*darkLoaded.scheme != *loaded.scheme || darkLoaded.shortfalls != loaded.shortfalls
                    || !judgedAlike(darkLoaded.judgement, loaded.judgement))) {
                sayNotes(darkLoaded.notes);
                entries.append({argument, darkLoaded, QStringLiteral("dark")});
            }
        }
    }
    for (const Entry& entry : std::as_const(entries)) {
        const Loaded& loaded = entry.loaded;
        const QString name = PrintableText::escaped(QFile::decodeName(entry.argument));
        if (!loaded.scheme) {
            result.notes += QStringLiteral("hueloom: %1\n").arg(loaded.problem);
            sarif.errors << loaded.problem;
            result.status = BadInput;
            schemes.append(QJsonObject{{QStringLiteral("scheme"), name}, {QStringLiteral("pass"), false},
                {QStringLiteral("verdict"), QStringLiteral("error")}, {QStringLiteral("error"), loaded.error},
                {QStringLiteral("message"), loaded.message}});
            continue;
        }
        const ColourScheme& scheme = *loaded.scheme;
        const QString heading = entry.colourScheme.isEmpty()
            ? QStringLiteral("%1 (%2)").arg(name, ContrastFixer::nameOf(options.target))
            : QStringLiteral("%1, %3 (%2)").arg(name, ContrastFixer::nameOf(options.target), entry.colourScheme);
        const PageReport::Page page{name, loaded.file, entry.colourScheme, ContrastFixer::isApca(options.target)};
        static const PageJudgement none;
        const PageJudgement& judgement = loaded.judgement ? *loaded.judgement : none;
        // A page read in part shows the ratios of what was read, but no verdict: its colours may not be
        // those a browser shows at all. Style sheets it could not read may be let go with --allow-missing.
        const bool whole
            = loaded.shortfalls.isEmpty() || (options.allowMissing && onlySheetsMissing(loaded.shortfalls));
        // A page's texts decide it; five colours, a scheme file and a page that shows no text, its pairs.
        const bool byElements = loaded.page && !judgement.elements.isEmpty();
        const std::vector<ContrastAudit::Pair> audited
            = ContrastAudit::audit(scheme, options.target, options.linksUnderlined);
        const bool failing = byElements ? judgement.count(PageJudgement::Verdict::Fail) > 0
                || (options.strict && judgement.count(PageJudgement::Verdict::Review) > 0)
                                        : !ContrastAudit::allPass(audited);
        const QString verdict = !whole ? QStringLiteral("error")
            : failing                  ? QStringLiteral("fail")
                                       : QStringLiteral("pass");
        if (whole && options.sarif)
            sarif.add(judgement, page);
        else if (whole && !options.json)
            lines << PageReport::elementLines(judgement, page, currentFolder);
        // A lone <body> tag and design tokens give colours but show no text: only their pairs are told.
        const bool textsRead = loaded.page && loaded.judgement.has_value();
        if (!textsRead && whole)
            lines << heading;
        else if (whole)
            lines << QStringLiteral("%1: %2").arg(heading, PageReport::countsText(judgement));
        else
            lines << QStringLiteral("%1: %2").arg(heading, tr("error"));
        QJsonArray pairs;
        for (const ContrastAudit::Pair& pair : audited) {
            const QString pairText = pairName(pair.kind);
            const QString pairVerdict = !whole ? tr("not judged")
                : pair.passes                  ? QStringLiteral("pass")
                                               : QStringLiteral("fail");
            lines << QStringLiteral("  %1: %2:1, Lc %3, %4")
                         .arg(pairText, Contrast::ratioText(pair.ratio), QString::number(pair.lc, 'f', 1), pairVerdict);
            pairs.append(QJsonObject{{QStringLiteral("pair"), pairText}, {QStringLiteral("ratio"), pair.ratio},
                {QStringLiteral("lc"), pair.lc},
                {QStringLiteral("pass"), whole ? QJsonValue(pair.passes) : QJsonValue()}});
            if (whole && !byElements && !pair.passes) {
                sarif.results << PageReport::Sarif::Result{QStringLiteral("scheme-pair"), QStringLiteral("error"),
                    QStringLiteral("%1: %2: %3:1, Lc %4, fail")
                        .arg(heading, pairText, Contrast::ratioText(pair.ratio), QString::number(pair.lc, 'f', 1)),
                    loaded.file};
            }
        }
        const QString shortfall = shortfallWords(loaded.shortfalls);
        const QString missing = PrintableText::escaped(judgement.missingSheets.join(QStringLiteral(", ")));
        if (!whole) {
            lines << QStringLiteral("  %1").arg(tr("read in part, so not judged: %1").arg(shortfall));
            if (!missing.isEmpty())
                lines << QStringLiteral("  %1").arg(tr("not read: %1").arg(missing));
            sarif.errors << QStringLiteral("%1: %2").arg(heading, tr("read in part, so not judged: %1").arg(shortfall))
                    + (missing.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(missing));
            result.status = BadInput;
        } else {
            if (!loaded.shortfalls.isEmpty())
                lines << QStringLiteral("  %1").arg(
                    tr("judged without what it could not read: %1").arg(missing.isEmpty() ? shortfall : missing));
            if (failing && result.status == AllPass)
                result.status = SomeFail;
        }
        QJsonObject object{{QStringLiteral("scheme"), name}, {QStringLiteral("colours"), coloursJson(scheme)},
            {QStringLiteral("pairs"), pairs}, {QStringLiteral("pass"), verdict == QLatin1String("pass")},
            {QStringLiteral("verdict"), verdict}};
        if (textsRead) {
            // Written as text, and put in its place when the document is: see compactJson.
            const QString place = QStringLiteral("\u0001elements %1").arg(elements.size());
            elements.insert(place, options.json ? PageReport::elementsJson(judgement, page, currentFolder) : "[]");
            object.insert(QStringLiteral("elements"), place);
            object.insert(QStringLiteral("counts"), PageReport::countsJson(judgement));
        }
        if (!judgement.missingSheets.isEmpty())
            object.insert(QStringLiteral("missingSheets"), QJsonArray::fromStringList(judgement.missingSheets));
        if (!entry.colourScheme.isEmpty())
            object.insert(QStringLiteral("colorScheme"), entry.colourScheme);
        if (!loaded.shortfalls.isEmpty()) {
            object.insert(QStringLiteral("complete"), false);
            object.insert(QStringLiteral("reasons"), reasonsJson(loaded.shortfalls));
        }
        schemes.append(object);
    }
    if (options.sarif) {
        sarif.successful = result.status != BadInput;
        result.output = QString::fromUtf8(QJsonDocument(sarif.log()).toJson(QJsonDocument::Indented));
    } else if (options.json) {
        const QJsonObject object{{QStringLiteral("target"), optionName(options.target)},
            {QStringLiteral("underlined"), options.linksUnderlined}, {QStringLiteral("schemes"), schemes},
            {QStringLiteral("pass"), result.status == AllPass}};
        result.output = QString::fromUtf8(PageReport::compactJson(object, elements)) + QLatin1Char('\n');
    } else if (!lines.isEmpty()) {
        result.output = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    return result;
}

Result fix(const Options& options)
{
    Result result;
    if (options.schemes.size() != 1) {
        result.status = BadInput;
        result.notes = QStringLiteral("hueloom: %1\n").arg(tr("--fix takes one scheme"));
        return result;
    }
    const Loaded loaded = load(options.schemes.first(), options.darkScheme.value_or(false));
    for (const QString& note : loaded.notes)
        result.notes += QStringLiteral("hueloom: %1: %2\n")
                            .arg(PrintableText::escaped(QFile::decodeName(options.schemes.first())),
                                PrintableText::escaped(note));
    if (!loaded.scheme) {
        result.status = BadInput;
        result.notes = QStringLiteral("hueloom: %1\n").arg(loaded.problem);
        if (options.json)
            result.output = jsonLine(QJsonObject{{QStringLiteral("target"), optionName(options.target)},
                {QStringLiteral("underlined"), options.linksUnderlined}, {QStringLiteral("dark"), options.dark},
                {QStringLiteral("scheme"), QFile::decodeName(options.schemes.first())},
                {QStringLiteral("solved"), false}, {QStringLiteral("error"), loaded.error},
                {QStringLiteral("message"), loaded.message}});
        return result;
    }
    const ContrastFixer::Proposal proposal = options.dark
        ? ContrastFixer::proposeDark(*loaded.scheme, options.target, options.linksUnderlined)
        : ContrastFixer::propose(*loaded.scheme, options.target, options.linksUnderlined);
    QStringList colours;
    for (int slot = 0; slot < Slot::Count; ++slot)
        colours << hex(proposal.scheme.colour(slot));
    if (proposal.backgroundMoved && !options.dark) {
        result.notes += QStringLiteral("hueloom: %1\n")
                            .arg(tr("the background moved, from %1 to %2: no colours meet every rule on it")
                                     .arg(hex(loaded.scheme->colour(Slot::Background)), colours.first()));
    }
    if (!proposal.solved) {
        result.status = SomeFail;
        result.notes += QStringLiteral("hueloom: %1\n")
                            .arg(tr("no colours can meet %1 while links stand 3:1 from the text; this proposal "
                                    "meets the background rules only")
                                     .arg(ContrastFixer::nameOf(options.target)));
    }
    // A proposal for a page read in part stands on colours a browser may not show: it is given, but never
    // as a success.
    if (!loaded.shortfalls.isEmpty()) {
        result.status = BadInput;
        result.notes += QStringLiteral("hueloom: %1: %2\n")
                            .arg(PrintableText::escaped(QFile::decodeName(options.schemes.first())),
                                tr("read in part, so the proposal stands on what was read: %1")
                                    .arg(shortfallWords(loaded.shortfalls)));
    }
    if (options.json) {
        QJsonObject object{{QStringLiteral("target"), optionName(options.target)},
            {QStringLiteral("underlined"), options.linksUnderlined}, {QStringLiteral("dark"), options.dark},
            {QStringLiteral("scheme"), QFile::decodeName(options.schemes.first())},
            {QStringLiteral("colours"), coloursJson(proposal.scheme)}, {QStringLiteral("solved"), proposal.solved},
            {QStringLiteral("backgroundMoved"), proposal.backgroundMoved}};
        if (!loaded.shortfalls.isEmpty()) {
            object.insert(QStringLiteral("complete"), false);
            object.insert(QStringLiteral("reasons"), reasonsJson(loaded.shortfalls));
        }
        result.output = jsonLine(object);
    } else {
        result.output = colours.join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
    return result;
}

} // namespace ContrastCommand
