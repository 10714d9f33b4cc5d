#include "PatchInputView.h"

#include "DimmerEntry.h"
#include "OrinPatchView.h"
#include "PatchLook.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orinsub::patch {

namespace {

/// Places controls given in dialog units of the bar's font, as the bar was designed.
class DialogUnits
{
public:
    explicit DialogUnits(const QFontMetrics &metrics)
        : m_baseX((metrics.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                       26 +
                   1) /
                  2),
          m_baseY(metrics.height())
    {
    }
    QRect ToPixels(int x, int y, int width, int height) const
    {
        return QRect(x * m_baseX / 4, y * m_baseY / 8, width * m_baseX / 4, height * m_baseY / 8);
    }

private:
    int m_baseX;
    int m_baseY;
};

} // namespace

CPatchInputView::CPatchInputView(COrinPatchView *grid, QWidget *parent)
    : QWidget(parent), m_pGrid(grid)
{
    QFont barFont = font();
    barFont.setPointSizeF(kEntryPointSize);
    setFont(barFont);
    const DialogUnits units{QFontMetrics(barFont)};

    auto *dimLabel = new QLabel(QString::fromUtf8(kDimmerCaption), this);
    dimLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    dimLabel->setGeometry(units.ToPixels(17, 11, 17, 8));
    m_dimEdit = new QLineEdit(this);
    m_dimEdit->setGeometry(units.ToPixels(37, 7, 76, 15));
    auto *chLabel = new QLabel(QString::fromUtf8(kChannelCaption), this);
    chLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    chLabel->setGeometry(units.ToPixels(117, 11, 15, 8));
    m_chEdit = new QLineEdit(this);
    m_chEdit->setGeometry(units.ToPixels(134, 7, 23, 16));
    m_patchButton = new QPushButton(QString::fromUtf8(kPatchButton), this);
    m_patchButton->setDefault(true);
    m_patchButton->setGeometry(units.ToPixels(171, 8, 34, 14));
    setFocusProxy(m_dimEdit);

    connect(m_dimEdit, &QLineEdit::textChanged, this, &CPatchInputView::ParseDimmerEntry);
    connect(m_patchButton, &QPushButton::clicked, this, &CPatchInputView::ApplyPatch);
    // "パッチ" is the bar's default button: Enter in either box presses it.
    connect(m_dimEdit, &QLineEdit::returnPressed, m_patchButton, &QPushButton::click);
    connect(m_chEdit, &QLineEdit::returnPressed, m_patchButton, &QPushButton::click);
}

void CPatchInputView::ParseDimmerEntry()
{
    model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    if (!doc)
        return;
    const DimmerEntry entry = patch::ParseDimmerEntry(m_dimEdit->text());
    doc->m_patchSelection = entry.selection;
    const int found = doc->FindChannelOfDimmer(entry.last);
    m_chEdit->setText(found < 0 || found >= doc->m_channelCount ? QString()
                                                                : QString::number(found + 1));
    m_pGrid->Refresh();
    m_pGrid->ScrollToChannel(found);
}

void CPatchInputView::ApplyPatch()
{
    model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    if (!doc)
        return;
    const int target = PatchTargetIndex(m_chEdit->text());
    doc->PatchSelectionTo(target);
    doc->SetModifiedFlag(true);
    model::MixChannel(target + 1);
    ParseDimmerEntry();
}

} // namespace orinsub::patch
