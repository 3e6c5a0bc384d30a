#include "platform/Process.h"

#include <sys/resource.h>
#include <cerrno>

CRaisedPriority::CRaisedPriority() {
    errno = 0;
    const int old = getpriority(PRIO_PROCESS, 0);
    if (errno != 0) return;
    m_old = old;
    m_changed = setpriority(PRIO_PROCESS, 0, old - 5) == 0;
}

CRaisedPriority::~CRaisedPriority() {
    if (m_changed) setpriority(PRIO_PROCESS, 0, m_old);
}
