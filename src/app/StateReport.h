#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

namespace orinsub::app {

/// A console nobody watches tells its state on a line of its own whenever the state changes:
/// each watched part (the output, the backup link, the surfaces) is read a few times a second
/// and printed when it reads differently from before. UI thread only.
class CStateReport : public QObject
{
public:
    using Print = std::function<void(const QString &line)>;
    static constexpr int kPollMs = 100;

    explicit CStateReport(Print print, QObject *parent = nullptr);

    /// read gives the part's state as the operator reads it; "" says nothing worth a line.
    void Watch(std::function<QString()> read);
    /// Reads every part now (the poll does so on its own).
    void Poll();

private:
    struct Part
    {
        std::function<QString()> read;
        QString last;
    };
    Print m_print;
    std::vector<Part> m_parts;
    QTimer m_poll;
};

} // namespace orinsub::app
