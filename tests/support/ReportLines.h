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

// The place of `value` among `names`, the first when it is none of them.
template <typename Enum> Enum named(const QJsonValue& value, QStringList names)
{
    return Enum(std::max(0, int(names.indexOf(value.toString()))));
}

inline PageJudgement::Origin origin(const QJsonValue& object)
{
    return {named<PageJudgement::Origin::Kind>(object[u"kind"], {u"default"_qs, u"attribute"_qs, u"sheet"_qs}),
        object[u"file"].toString(), object[u"line"].toInt(), object[u"selector"].toString()};
}

// A case's element; without a file of its own, it is in `pageFile`.
inline PageJudgement::Element element(const QJsonObject& object, const QString& pageFile)
{
    PageJudgement::Element element;
    element.file = object[u"file"].toString(pageFile);
    element.line = object[u"line"].toInt();
    element.column = object[u"column"].toInt();
    element.tag = QStringLiteral("p");
    element.text = object[u"text"].toString();
    element.check = named<PageJudgement::Check>(object[u"check"], {u"contrast"_qs, u"link-in-text"_qs});
    element.foreground = argb(0, 0, 0) | object[u"foreground"].toString().mid(1).toUInt(nullptr, 16);
    element.background = argb(0, 0, 0) | object[u"background"].toString().mid(1).toUInt(nullptr, 16);
    element.ratio = object[u"ratio"].toDouble();
    element.lc = object[u"lc"].toDouble();
    element.needed = object[u"needed"].toDouble();
    element.verdict = named<PageJudgement::Verdict>(object[u"verdict"], {u"pass"_qs, u"fail"_qs, u"review"_qs});
    element.why = object[u"why"].toString();
    element.foregroundFrom = origin(object[u"foregroundFrom"]);
    element.backgroundFrom = origin(object[u"backgroundFrom"]);
    return element;
}

} // namespace ReportLines
