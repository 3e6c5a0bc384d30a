#include "app/ChildFrame.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>

#include "app/Commands.h"
#include "app/Document.h"
#include "app/Icons.h"
#include "app/MyeditDoc.h"

CChildFrame::CChildFrame(CDocument* doc, QWidget* view) : m_doc(doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    setWindowIcon(doc->DocKind() == CDocument::kResult ? ProgramIcon() : CommandIcon(ID_FILE_NEW));
    m_doc->AddFrame(this);
    connect(m_doc, &CDocument::TitleChanged, this, &CChildFrame::UpdateTitle);
    UpdateTitle();
}

CChildFrame::~CChildFrame() {
    // A window destroyed without a close (the frame going down) still lets its document go.
    if (!m_detached) m_doc->RemoveFrame(this);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_noPrompt && m_doc->Frames().size() == 1 && !m_doc->SaveModified()) {
        event->ignore();
        return;
    }
    event->accept();
    // The window that takes over from a maximised one is shown maximised too, as the user
    // worked; the others keep their places.
    if (isMaximized()) {
        if (QMdiArea* area = mdiArea()) {
            QPointer<QMdiArea> guard(area);
            QTimer::singleShot(0, area, [guard] {
                if (!guard) return;
                QMdiSubWindow* next = guard->activeSubWindow();
                if (!next && !guard->subWindowList().isEmpty())
                    next = guard->subWindowList(QMdiArea::StackingOrder).last();
                if (next) next->showMaximized();
            });
        }
    }
    m_detached = true;
    m_doc->RemoveFrame(this);
}

void CChildFrame::CloseWithoutAsking() {
    m_noPrompt = true;
    close();
}

void CChildFrame::UpdateTitle() {
    QString title = m_doc->Title();
    const int count = m_doc->Frames().size();
    // Several windows on one document are told apart by a number, as the window list shows.
    if (count > 1) title += QStringLiteral(":%1").arg(m_doc->Frames().indexOf(this) + 1);
    setWindowTitle(title + QStringLiteral("[*]"));
    if (auto* text = qobject_cast<CMyeditDoc*>(m_doc)) setWindowModified(text->IsModified());
}
