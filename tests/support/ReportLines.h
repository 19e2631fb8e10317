#pragma once

#include "colour/Rgb.h"
#include "web/PageJudgement.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// The judged texts of cli/data/pagereport-lines.json and the lines --check and Page Check tell of them,
// read alike by both tests so that one case holds both programs' wording.
namespace ReportLines {

inline QJsonObject data()
{
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/cli/data/pagereport-lines.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read pagereport-lines.json");
    return QJsonDocument::fromJson(file.readAll()).object();
}

inline Argb colour(const QJsonValue& value)
{
    return value.toString().isEmpty() ? 0 : argb(0, 0, 0) | value.toString().mid(1).toUInt(nullptr, 16);
}

inline PageJudgement::Origin origin(const QJsonObject& object)
{
    using Origin = PageJudgement::Origin;
    Origin origin;
    const QString kind = object[QStringLiteral("kind")].toString();
    origin.kind = kind == QLatin1String("sheet") ? Origin::Kind::Sheet
        : kind == QLatin1String("attribute")     ? Origin::Kind::Attribute
                                                 : Origin::Kind::Default;
    origin.file = object[QStringLiteral("file")].toString();
    origin.line = object[QStringLiteral("line")].toInt();
    origin.selector = object[QStringLiteral("selector")].toString();
    return origin;
}

// A case's element; without a file of its own, it is in `pageFile`.
inline PageJudgement::Element element(const QJsonObject& object, const QString& pageFile)
{
    PageJudgement::Element element;
    element.file = object.contains(QStringLiteral("file")) ? object[QStringLiteral("file")].toString() : pageFile;
    element.line = object[QStringLiteral("line")].toInt();
    element.column = object[QStringLiteral("column")].toInt();
    element.tag = QStringLiteral("p");
    element.text = object[QStringLiteral("text")].toString();
    element.check = object[QStringLiteral("check")].toString() == QLatin1String("link-in-text")
        ? PageJudgement::Check::LinkInText
        : PageJudgement::Check::Contrast;
    element.foreground = colour(object[QStringLiteral("foreground")]);
    element.background = colour(object[QStringLiteral("background")]);
    element.ratio = object[QStringLiteral("ratio")].toDouble();
    element.lc = object[QStringLiteral("lc")].toDouble();
    element.needed = object[QStringLiteral("needed")].toDouble();
    const QString verdict = object[QStringLiteral("verdict")].toString();
    element.verdict = verdict == QLatin1String("fail") ? PageJudgement::Verdict::Fail
        : verdict == QLatin1String("review")           ? PageJudgement::Verdict::Review
                                                       : PageJudgement::Verdict::Pass;
    element.why = object[QStringLiteral("why")].toString();
    element.foregroundFrom = origin(object[QStringLiteral("foregroundFrom")].toObject());
    element.backgroundFrom = origin(object[QStringLiteral("backgroundFrom")].toObject());
    return element;
}

} // namespace ReportLines
