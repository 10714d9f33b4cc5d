#pragma once

#include <QString>
#include <memory>

class QLabel;
class QWidget;

namespace orinsub::controls {

class CMyEdit;

/// A fader's caption: the name of a channel or sub-master shown in a name box (CMyEdit), the
/// only real child widget of the console panes.
class CFaderLabel
{
public:
    CFaderLabel();
    ~CFaderLabel();
    CFaderLabel(const CFaderLabel &) = delete;
    CFaderLabel &operator=(const CFaderLabel &) = delete;

    /// Places the name box on the parent at (x, y) of the parent's client, shows it and fills
    /// it with the text. Only the first call does anything.
    void Create(int x, int y, int width, int height);
    /// The widget the box becomes a child of (the pane's client area).
    void SetParent(QWidget *parent) { m_parent = parent; }
    void SetNumber(int number);
    int GetNumber() const { return m_number; }
    CMyEdit *GetEdit() const { return m_edit.get(); }
    /// Stores the caption and shows it in the box.
    void SetText(const QString &text);
    /// Shows a text in the box without storing it as the caption.
    void ShowText(const QString &text);
    QString GetText() const { return m_text; }
    /// A line over the foot of the box, apart from the name (a running chase's speed); empty
    /// hides it. Repaints only when the text changes.
    void ShowBadge(const QString &text);
    QString GetBadge() const { return m_badgeText; }
    bool IsCreated() const { return m_created; }

private:
    int m_number = 0;
    bool m_created = false;
    QWidget *m_parent = nullptr;
    std::unique_ptr<CMyEdit> m_edit;
    QString m_text;
    QString m_badgeText;
    QLabel *m_badge = nullptr; // a child of the box, made for the first badge
};

} // namespace orinsub::controls
