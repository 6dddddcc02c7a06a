#pragma once

#include "commentinfo.h"
#include "commentpage.h"

// The comment block without a window: the fields come from the command line
// when saving and are kept as read back when loading.
class CliCommentPage : public CommentPage
{
public:
    CommentInfo info;
    QString fileName;

    QString BuildInfoStr() const override { return info.BuildInfoStr(); }
    void ExtractInfo(const QString &AuxStr, const QString &FileName) override;
};
