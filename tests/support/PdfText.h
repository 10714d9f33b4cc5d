#pragma once

#include "support/ProgramRun.h"
#include "support/TempFiles.h"

#include <QStringList>

namespace orinsub::testing {

/// A PDF as a reader sees it: its pages' text laid out as on paper (poppler's pdftotext), and
/// what pdfinfo says of the document (page count, page size).
struct PdfText
{
    QStringList pages;
    QString info;
};

inline PdfText ReadPdfFile(const QString &path)
{
    QProcess text, info;
    const ProgramRun read =
        RunToEnd(text, QStringLiteral("pdftotext"), {"-layout", "-enc", "UTF-8", path, "-"});
    const ProgramRun described = RunToEnd(info, QStringLiteral("pdfinfo"), {path});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(described.exitCode, 0) << described.err.toStdString();
    QStringList pages = read.out.split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return {pages, described.out};
}

inline PdfText ReadPdf(const QByteArray &pdf)
{
    const TempFolder folder;
    return ReadPdfFile(folder.Write(QStringLiteral("read.pdf"), pdf));
}

} // namespace orinsub::testing
