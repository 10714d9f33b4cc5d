#include "RecordSource.h"

#include "AppResources.h"
#include "model/Mix.h"
#include "model/MixInputs.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

namespace orinsub::app {

using namespace cuewindow;

RecordSource::RecordSource(const model::COrinSUBDoc &doc, QWidget *parent)
    : m_doc(doc), m_parent(parent), m_source(new QComboBox(parent)), m_page(new QSpinBox(parent)),
      m_subMaster(new QSpinBox(parent))
{
    m_source->addItems({kSourceOutput, drag::kRowALabel, drag::kRowBLabel, kSourceSubMaster});
    m_page->setRange(1, model::kPages);
    m_subMaster->setRange(1, model::kSubMastersPerPage);
    const auto onSource = [this] {
        const bool subMaster = m_source->currentIndex() == static_cast<int>(Source::SubMaster);
        m_page->setEnabled(subMaster);
        m_subMaster->setEnabled(subMaster);
    };
    QObject::connect(m_source, &QComboBox::currentIndexChanged, m_source, onSource);
    onSource();
}

void RecordSource::AddTo(QBoxLayout &layout) const
{
    auto *caption = new QLabel(kSourceLabel, m_parent);
    caption->setBuddy(m_source);
    layout.addWidget(caption);
    layout.addWidget(m_source);
    layout.addWidget(new QLabel(kPageLabel, m_parent));
    layout.addWidget(m_page);
    layout.addWidget(new QLabel(kSubMasterNumberLabel, m_parent));
    layout.addWidget(m_subMaster);
}

RecordSource::Look RecordSource::LookNow() const
{
    Look look{};
    switch (static_cast<Source>(m_source->currentIndex())) {
    case Source::Output:
        look = model::LevelsUnderMasters();
        break;
    case Source::RowA:
    case Source::RowB:
        if (const model::RowLevelSource *rows = model::g_orin.m_pRowLevels) {
            const int row = m_source->currentIndex() == static_cast<int>(Source::RowA) ? 0 : 1;
            for (int channel = 1; channel <= model::kConsoleChannels; ++channel)
                look[channel - 1] = rows->GetRowLevel(row, channel);
        }
        break;
    case Source::SubMaster:
        if (const model::CSubMaster *sub =
                m_doc.GetSubMaster(m_page->value(), m_subMaster->value()))
            for (int i = 0; i < model::kConsoleChannels; ++i)
                look[i] = sub->LevelAt(i);
        break;
    }
    return look;
}

} // namespace orinsub::app
