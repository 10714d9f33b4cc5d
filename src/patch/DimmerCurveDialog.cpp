#include "DimmerCurveDialog.h"

#include "DimmerCurveTable.h"
#include "PatchLook.h"
#include "model/CurveOutput.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace orinsub::patch {

namespace {

constexpr model::CurveKind kKinds[] = {model::CurveKind::Linear, model::CurveKind::Square,
                                       model::CurveKind::HallA, model::CurveKind::HallB,
                                       model::CurveKind::Switch};

QSpinBox *PercentBox(int minimum, int value)
{
    auto *box = new QSpinBox;
    box->setRange(minimum, 100);
    box->setSuffix(QStringLiteral(" %"));
    box->setValue(value);
    return box;
}

} // namespace

DimmerCurveDialog::DimmerCurveDialog(QWidget *parent)
    : QDialog(parent), m_model(new DimmerCurveTable(this)), m_table(new QTableView),
      m_kind(new QComboBox), m_threshold(PercentBox(1, model::kDefaultSwitchThreshold)),
      m_limit(PercentBox(0, 100)), m_apply(new QPushButton(QString::fromUtf8(kCurveApply)))
{
    setWindowTitle(QString::fromUtf8(kCurveWindowTitle));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (model::CurveKind kind : kKinds)
        m_kind->addItem(model::CurveKindName(kind));

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QString::fromUtf8(kCurveKindColumn)));
    controls->addWidget(m_kind);
    controls->addWidget(new QLabel(QString::fromUtf8(kCurveThresholdColumn)));
    controls->addWidget(m_threshold);
    controls->addWidget(new QLabel(QString::fromUtf8(kCurveLimitColumn)));
    controls->addWidget(m_limit);
    controls->addStretch();
    controls->addWidget(m_apply);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(controls);
    resize(kCurveWindowWidth, kCurveWindowHeight);

    // The threshold means something only to a switch.
    const auto enableThreshold = [this] {
        m_threshold->setEnabled(kKinds[m_kind->currentIndex()] == model::CurveKind::Switch);
    };
    connect(m_kind, &QComboBox::currentIndexChanged, this, enableThreshold);
    enableThreshold();
    connect(m_apply, &QPushButton::clicked, this, &DimmerCurveDialog::ApplyToSelection);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DimmerCurveDialog::ShowSelectedCurve);
}

std::vector<int> DimmerCurveDialog::SelectedDimmers() const
{
    std::vector<int> dimmers;
    for (const QModelIndex &row : m_table->selectionModel()->selectedRows())
        dimmers.push_back(row.row() + 1);
    return dimmers;
}

void DimmerCurveDialog::ShowSelectedCurve()
{
    const std::vector<int> dimmers = SelectedDimmers();
    const model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    if (!doc || dimmers.size() != 1)
        return;
    const model::DimmerCurve curve = doc->m_extension.CurveOf(dimmers.front());
    m_kind->setCurrentIndex(static_cast<int>(
        std::find(std::begin(kKinds), std::end(kKinds), curve.kind) - std::begin(kKinds)));
    m_threshold->setValue(curve.thresholdPercent);
    m_limit->setValue(curve.limitPercent);
}

bool DimmerCurveDialog::ApplyToSelection()
{
    model::COrinSUBDoc *doc = model::g_orin.m_pDoc;
    const std::vector<int> dimmers = SelectedDimmers();
    if (!doc || dimmers.empty())
        return false;
    const model::CurveKind kind = kKinds[m_kind->currentIndex()];
    // A curve other than a switch keeps the default threshold, so that equal curves compare
    // equal and the show stores nothing for a dimmer set back to linear.
    const model::DimmerCurve curve{
        kind,
        kind == model::CurveKind::Switch ? m_threshold->value() : model::kDefaultSwitchThreshold,
        m_limit->value()};
    if (!doc->SetDimmerCurves(dimmers, curve))
        return false;
    model::PublishDimmerCurves();
    const int last = static_cast<int>(dimmers.back()) - 1;
    emit m_model->dataChanged(m_model->index(dimmers.front() - 1, 0),
                              m_model->index(last, DimmerCurveTable::ColumnCount - 1));
    return true;
}

void DimmerCurveDialog::Reload()
{
    m_model->Reload();
}

} // namespace orinsub::patch
