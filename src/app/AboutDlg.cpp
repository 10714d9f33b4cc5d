#include "AboutDlg.h"

#include "AppIcon.h"
#include "AppResources.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace orinsub::app {

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(kAboutTitle);
    QFont font(QStringLiteral("MS UI Gothic"));
    font.setPointSizeF(9.0);
    setFont(font);
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    m_baseY = metrics.height();
    setFixedSize(DialogUnits(0, 0, 231, 88).size());

    auto *icon = new QLabel(this);
    const QRect iconRect = DialogUnits(15, 15, 20, 20);
    icon->setGeometry(iconRect);
    icon->setPixmap(ApplicationIcon().pixmap(iconRect.size()));

    auto *description = new QLabel(kFileDescription, this);
    description->setGeometry(DialogUnits(42, 14, 180, 10));
    auto *version = new QLabel(QStringLiteral("Version ") + kVersion, this);
    version->setGeometry(DialogUnits(42, 28, 180, 10));

    m_close = new QPushButton(kAboutClose, this);
    m_close->setGeometry(DialogUnits(174, 62, 50, 14));
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

QRect CAboutDlg::DialogUnits(int x, int y, int width, int height) const
{
    return QRect(x * m_baseX / 4, y * m_baseY / 8, width * m_baseX / 4, height * m_baseY / 8);
}

} // namespace orinsub::app
