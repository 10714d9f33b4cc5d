#pragma once

#include <QString>

class QWidget;

namespace orinsub::app {

/// Where the operator picks a show file to open or a name to save under. The program shows file
/// dialogs with the filter "Orin Files (*.orin)"; tests script the answers.
class ShowFileChooser
{
public:
    virtual ~ShowFileChooser() = default;
    /// The show to open, or empty when the operator cancelled.
    virtual QString ChooseOpenPath(QWidget *parent) = 0;
    /// Where to save, starting from suggested (a path or a bare name), or empty when cancelled.
    /// The operator has already agreed to replace an existing file.
    virtual QString ChooseSavePath(QWidget *parent, const QString &suggested) = 0;
};

/// The chooser in force: file dialogs unless a test installed another.
ShowFileChooser &FileChooser();
/// Installs a chooser (not owned); null restores the file dialogs.
void SetFileChooser(ShowFileChooser *chooser);

} // namespace orinsub::app
