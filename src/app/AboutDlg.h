#pragma once

#include <QDialog>

class QPushButton;

namespace orinsub::app {

/// "バージョン情報 OrinSUB": the icon, the product's description and version line, and "閉じる",
/// which closes it as Enter and Esc do. Laid out in dialog units of a 9-point font, 231 x 88.
class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    QPushButton *GetCloseButton() const { return m_close; }

private:
    QRect DialogUnits(int x, int y, int width, int height) const;

    int m_baseX = 1;
    int m_baseY = 1;
    QPushButton *m_close = nullptr;
};

} // namespace orinsub::app
