#pragma once

#include "Cascade.h"
#include "PageJudgement.h"
#include "html/PageTree.h"

// Judges every text of a page a reader sees against what is painted behind it, from the page's cascade.
namespace PageJudge {

PageJudgement judge(const PageTree& tree, Cascade& cascade, const QString& fileName, const PageJudgement::Needs& needs);

} // namespace PageJudge
