#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::app {

class CMainFrame;
class CRecentFileList;

/// The show as a document on disk: its path, the window title, the modified flag, and the New,
/// Open, Save and Save As commands with the question to save a modified show first. Opening is
/// all or nothing: a file that cannot be opened leaves the show, its path and title as they
/// were and tells the operator why. A save that fails says so and keeps the show modified.
/// While the desk is locked, New and every open are refused with a word to the operator.
/// UI thread only.
class CShowDocument : public QObject
{
    Q_OBJECT

public:
    /// doc and recent must outlive the controller.
    CShowDocument(model::COrinSUBDoc &doc, CRecentFileList &recent);
    ~CShowDocument() override;

    /// The main window: its title shows the show, its panes follow New and Open, and it owns
    /// the message boxes. May be null.
    void SetFrame(CMainFrame *frame);

    /// "新規作成": after the save question, an empty show without a path.
    bool OnFileNew();
    /// "開く": the operator picks a show, which then opens as with OpenDocumentFile.
    bool OnFileOpen();
    /// After the save question, opens the show at path and puts it first in the recent-file
    /// list. False when the operator cancelled or the file could not be opened.
    bool OpenDocumentFile(const QString &path);
    /// Opens entry index of the recent-file list; an entry that cannot be opened leaves the
    /// list (not when the operator only cancelled the save question).
    bool OpenRecentFile(int index);
    /// "上書き保存": saves at the show's path, or asks for one as Save As does. True when saved.
    bool OnFileSave();
    /// "名前を付けて保存": saves under a name the operator picks (".orin" added when the name has
    /// no extension). True when saved.
    bool OnFileSaveAs();
    /// Before a modified show is left: "%1 への変更を保存しますか?". Yes saves, No goes on without
    /// saving, Cancel stays. True to go on; an unmodified show goes on without a question.
    bool SaveModified();

    /// Puts the recovery copy at copy on the desk as the show at originalPath (empty for an
    /// untitled one), modified, without the save question. False, after the message, when the
    /// copy cannot be opened: the show stays as it was.
    bool RestoreRecoveryCopy(const QString &copy, const QString &originalPath);

    /// Puts the show a tracked main console sent (kept at copy) on the desk, unmodified and
    /// unasked, whatever the lock: the backup plays the main's show. The copy stays out of the
    /// recent-file list. False, after the message, when it cannot be opened.
    bool ShowTrackedCopy(const QString &copy);

    /// The show's file, absolute; empty before it is first saved or opened.
    QString GetPathName() const { return m_pathName; }
    /// The show's name in the title: the file's name without ".orin", or "無題".
    QString GetTitle() const;

    /// A locked desk, or one that follows another console, keeps its show: true after the
    /// operator was told so (whileLocked for a locked desk).
    bool RefusedWhileLocked(const QString &whileLocked) const;

signals:
    /// The recent-file list changed.
    void RecentFilesChanged();
    /// The show's modified flag changed.
    void ModifiedChanged(bool modified);

private:
    bool OpenFile(const QString &path);
    bool ReadIntoShow(const QString &path);
    bool SaveTo(const QString &path);
    void SetPathName(const QString &path);
    void UpdateFrameTitle();
    QWidget *Owner() const;

    model::COrinSUBDoc &m_doc;
    CRecentFileList &m_recent;
    QPointer<CMainFrame> m_frame;
    QString m_pathName;
};

} // namespace orinsub::app
