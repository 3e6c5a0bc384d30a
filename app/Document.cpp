#include "app/Document.h"

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
    deleteLater();
}
