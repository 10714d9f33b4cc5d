#include "ShowFileChooser.h"

#include "AppResources.h"

#include <QFileDialog>

namespace orinsub::app {

namespace {

class FileDialogs : public ShowFileChooser
{
public:
    QString ChooseOpenPath(QWidget *parent) override
    {
        return QFileDialog::getOpenFileName(parent, {}, {}, kShowFileFilter);
    }
    QString ChooseSavePath(QWidget *parent, const QString &suggested) override
    {
        return QFileDialog::getSaveFileName(parent, {}, suggested, kShowFileFilter);
    }
};

FileDialogs g_fileDialogs;
ShowFileChooser *g_chooser = &g_fileDialogs;

} // namespace

ShowFileChooser &FileChooser()
{
    return *g_chooser;
}
void SetFileChooser(ShowFileChooser *chooser)
{
    g_chooser = chooser ? chooser : &g_fileDialogs;
}

} // namespace orinsub::app
