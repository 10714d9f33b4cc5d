#pragma once

#include "PaperJob.h"

#include <QByteArray>
#include <QPageLayout>

class QPagedPaintDevice;

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::print {

/// Prints a show's sheets on any paged device, so that a printer and a PDF get the same pages:
/// each sheet starts on a new page, every page carries the show's name, the sheet, the date
/// and "N / M ページ" counted over the whole print, and a cue, a channel or a sub-master never
/// breaks across two pages. Japanese in VL Gothic. UI thread (Qt's painting).
class ShowPrinter
{
public:
    /// A4 in orientation with the sheets' margins; a printer dialog may change it after.
    static void SetUpA4(QPagedPaintDevice &device, QPageLayout::Orientation orientation);
    /// Paints the job's sheets of doc on device as it is set up. The number of pages, 0 when the
    /// device could not be painted on.
    static int Print(const model::COrinSUBDoc &doc, const PaperJob &job, QPagedPaintDevice &device);
    /// The job as a PDF document on A4 in orientation; empty when it could not be made.
    static QByteArray Pdf(const model::COrinSUBDoc &doc, const PaperJob &job,
                          QPageLayout::Orientation orientation);
};

} // namespace orinsub::print
