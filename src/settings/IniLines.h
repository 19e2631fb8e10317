#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// An INI file as QSettings writes it, held as its lines, so that one section can be replaced while
// every other line (other programs' sections, comments, unknown keys) stays exactly as it was.
// Names are read and written with QSettings' escapes ("Recent%20Schemes", "\\" for "/") and values
// with its quoting, so either can read what the other wrote. A key "Section\\Name" in the block of
// "[Application]" is the value Name of Section.
class IniLines {
public:
    using Entries = QList<std::pair<QString, QString>>;

    explicit IniLines(const QByteArray& bytes);

    // False when a line is neither a section, a key, a comment nor blank (a cut or foreign file).
    bool isWellFormed() const { return m_wellFormed; }
    // The texts of one section, names matched without regard to case, in file order.
    Entries section(const QString& application, const QString& section) const;
    // False when a value of the section is something other than a text (QSettings' "@Rect(...)").
    bool sectionIsText(const QString& application, const QString& section) const;
    // Puts `entries` where the section's first key stood (or at the end of the application's block,
    // or in a new block) and removes the section's other keys.
    void replaceSection(const QString& application, const QString& section, const Entries& entries);
    QByteArray bytes() const;

    static QString decodeName(QStringView raw);
    static QByteArray encodeName(const QString& name);
    // The text of a value, or nothing when the value is not a text.
    static std::optional<QString> decodeValue(QStringView raw);
    static QByteArray encodeValue(const QString& text);

private:
    struct Line {
        QByteArray raw;
        QString block; // the application (or "") of the block the line stands in
        QString key; // decoded, '/' between its parts; empty for anything but a key
        QString value; // undecoded
    };
    // Whether a key line belongs to `section` of `application`; its name goes into `name`.
    static bool belongs(const Line& line, const QString& application, const QString& section, QString* name);

    QList<Line> m_lines;
    bool m_wellFormed = true;
};
