#include "PageJudgement.h"

#include <algorithm>

QString PageJudgement::Origin::text() const
{
    switch (kind) {
    case Kind::Default:
        return QStringLiteral("default");
    case Kind::Attribute:
        return QStringLiteral("attribute ") + selector;
    case Kind::Sheet:
        break;
    }
    QString place = file;
    if (line > 0)
        place += QLatin1Char(':') + QString::number(line);
    return selector.isEmpty() ? place : place + QLatin1Char(' ') + selector;
}

qsizetype PageJudgement::count(Verdict verdict) const
{
    return std::count_if(
        elements.begin(), elements.end(), [verdict](const Element& element) { return element.verdict == verdict; });
}

QString PageJudgement::verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        return QStringLiteral("pass");
    case Verdict::Fail:
        return QStringLiteral("fail");
    case Verdict::Review:
        break;
    }
    return QStringLiteral("review");
}

QString PageJudgement::checkName(Check check)
{
    return check == Check::Contrast ? QStringLiteral("contrast") : QStringLiteral("link-in-text");
}
