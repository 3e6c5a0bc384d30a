#include "app/Document.h"

#include "app/ChildFrame.h"

void CDocument::AddFrame(CChildFrame* frame) {
    m_frames.append(frame);
    emit TitleChanged();  // the windows number themselves once there are several
}

void CDocument::RemoveFrame(CChildFrame* frame) {
    m_frames.removeAll(frame);
    if (!m_frames.isEmpty()) {
        emit TitleChanged();
        return;
    }
    OnCloseDocument();
    // The window's view still shows the document's text while the window goes down.
    connect(frame, &QObject::destroyed, this, &QObject::deleteLater);
}
