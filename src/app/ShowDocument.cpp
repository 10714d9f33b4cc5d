#include "ShowDocument.h"

#include "AppResources.h"
#include "MainFrame.h"
#include "RecentFileList.h"
#include "ShowFileChooser.h"
#include "controls/QuestionBox.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "views/DeskLock.h"

#include <QDir>
#include <QFileInfo>

namespace orinsub::app {

CShowDocument::CShowDocument(model::COrinSUBDoc &doc, CRecentFileList &recent)
    : m_doc(doc), m_recent(recent)
{
    m_doc.SetModifiedListener([this](bool modified) {
        UpdateFrameTitle();
        emit ModifiedChanged(modified);
    });
}

CShowDocument::~CShowDocument()
{
    m_doc.SetModifiedListener(nullptr);
}

void CShowDocument::SetFrame(CMainFrame *frame)
{
    m_frame = frame;
    UpdateFrameTitle();
}

QString CShowDocument::GetTitle() const
{
    return m_pathName.isEmpty() ? kUntitledName : QFileInfo(m_pathName).completeBaseName();
}

QWidget *CShowDocument::Owner() const
{
    return m_frame;
}

void CShowDocument::UpdateFrameTitle()
{
    if (!m_frame)
        return;
    m_frame->setWindowTitle(GetTitle() + QStringLiteral("[*] - ") + kAppTitle);
    m_frame->setWindowModified(m_doc.IsModified());
}

void CShowDocument::SetPathName(const QString &path)
{
    m_pathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (!m_pathName.isEmpty()) {
        m_recent.Add(m_pathName);
        emit RecentFilesChanged();
    }
    UpdateFrameTitle();
}

bool CShowDocument::RefusedWhileLocked(const QString &whileLocked) const
{
    if (!views::IsDeskLocked() && !views::IsDeskFollowing())
        return false;
    controls::Questions().Warn(
        Owner(), views::IsDeskFollowing() ? kFollowingShowRefused : whileLocked, kAppTitle);
    return true;
}

bool CShowDocument::OnFileNew()
{
    if (RefusedWhileLocked(kLockedShowRefused) || !SaveModified())
        return false;
    m_doc.OnNewDocument();
    m_doc.SetModifiedFlag(false);
    SetPathName({});
    if (m_frame)
        m_frame->OnInitialUpdate();
    return true;
}

bool CShowDocument::OnFileOpen()
{
    if (RefusedWhileLocked(kLockedShowRefused))
        return false;
    const QString path = FileChooser().ChooseOpenPath(Owner());
    return !path.isEmpty() && OpenDocumentFile(path);
}

bool CShowDocument::OpenDocumentFile(const QString &path)
{
    return !RefusedWhileLocked(kLockedShowRefused) && SaveModified() && OpenFile(path);
}

bool CShowDocument::OpenRecentFile(int index)
{
    if (index < 0 || index >= m_recent.Files().size())
        return false;
    const QString path = m_recent.Files()[index];
    if (RefusedWhileLocked(kLockedShowRefused) || !SaveModified())
        return false;
    if (OpenFile(path))
        return true;
    m_recent.Remove(path);
    emit RecentFilesChanged();
    return false;
}

bool CShowDocument::OpenFile(const QString &path)
{
    if (!ReadIntoShow(path))
        return false;
    m_doc.SetModifiedFlag(false);
    SetPathName(path);
    if (m_frame)
        m_frame->OnInitialUpdate();
    return true;
}

bool CShowDocument::RestoreRecoveryCopy(const QString &copy, const QString &originalPath)
{
    if (!ReadIntoShow(copy))
        return false;
    m_doc.SetModifiedFlag(true);
    SetPathName(originalPath);
    if (m_frame)
        m_frame->OnInitialUpdate();
    return true;
}

bool CShowDocument::ShowTrackedCopy(const QString &copy)
{
    if (!ReadIntoShow(copy))
        return false;
    m_doc.SetModifiedFlag(false);
    m_pathName = QFileInfo(copy).absoluteFilePath();
    UpdateFrameTitle();
    if (m_frame)
        m_frame->OnInitialUpdate();
    return true;
}

bool CShowDocument::ReadIntoShow(const QString &path)
{
    const model::ShowFileResult result = model::OpenShowFile(m_doc, path);
    if (result.IsOk())
        return true;
    // The console's own words for a show of another version; the others name the file.
    const QString message = result.status == model::ShowFileStatus::WrongVersion
                                ? QString::fromUtf16(model::kWrongVersionMessage)
                                : result.message;
    controls::Questions().Warn(Owner(), message, kAppTitle);
    return false;
}

bool CShowDocument::OnFileSave()
{
    return m_pathName.isEmpty() ? OnFileSaveAs() : SaveTo(m_pathName);
}

bool CShowDocument::OnFileSaveAs()
{
    const QString suggested = m_pathName.isEmpty()
                                  ? QDir::home().filePath(GetTitle() + u'.' + kShowFileSuffix)
                                  : m_pathName;
    QString path = FileChooser().ChooseSavePath(Owner(), suggested);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + kShowFileSuffix;
    return SaveTo(path);
}

bool CShowDocument::SaveTo(const QString &path)
{
    const model::ShowFileResult result = model::SaveShowFile(m_doc, path);
    if (!result.IsOk()) {
        controls::Questions().Warn(Owner(), result.message, kAppTitle);
        return false;
    }
    m_doc.SetModifiedFlag(false);
    SetPathName(path);
    return true;
}

bool CShowDocument::SaveModified()
{
    if (!m_doc.IsModified())
        return true;
    switch (controls::Questions().AskYesNoCancel(Owner(), kAskToSave.arg(GetTitle()), kAppTitle)) {
    case 1:
        return OnFileSave();
    case 0:
        return true;
    default:
        return false;
    }
}

} // namespace orinsub::app
