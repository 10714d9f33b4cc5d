#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <optional>

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::app {

/// One cue's 80 levels, seen and edited blind (nothing reaches the stage): channel, name, the
/// level as percent, and the cue before's level; a level that differs from the cue before is
/// marked. Reads the show's cue list each time; an edit goes to setLevel (nullopt: the typing
/// was no level), which makes it as one undoable edit of the list or tells the operator why not.
class CueLevelsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Channel, Name, Level, Before, ColumnCount };
    using SetLevel = std::function<bool(int number, int channel, std::optional<uint8_t> level)>;

    CueLevelsModel(const model::COrinSUBDoc &doc, SetLevel setLevel, QObject *parent = nullptr);

    /// Shows cue number (0: none); editable: its levels take typing.
    void Show(int number, bool editable);
    /// A typed level: percent 0..100 (full-width too) or FL/FF for full, as the byte whose
    /// percent reads what was typed; nullopt for anything else.
    static std::optional<uint8_t> ParseLevel(const QString &typed);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    const model::COrinSUBDoc &m_doc;
    SetLevel m_setLevel;
    int m_number = 0;
    bool m_editable = false;
};

} // namespace orinsub::app
