#pragma once

#include <QDialog>

class QLineEdit;

namespace orinsub::model {
class CueList;
}

namespace orinsub::app {

/// "キューへ移動": asks for the number of a cue of the list ("12", "1.5"; full-width digits are
/// fine). OK takes only a number the list holds: anything else gets a message saying why and
/// the dialog stays open.
class CueGotoDlg : public QDialog
{
public:
    CueGotoDlg(const model::CueList &cues, QWidget *parent = nullptr);

    /// The cue chosen, in tenths (valid once accepted).
    int GetNumber() const { return m_number; }
    QLineEdit *GetNumberBox() const { return m_text; }
    void accept() override;

private:
    const model::CueList &m_cues;
    QLineEdit *m_text = nullptr;
    int m_number = 0;
};

} // namespace orinsub::app
