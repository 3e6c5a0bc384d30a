// Raised process priority for the length of a scope.
#pragma once

// Raises the scheduling priority when the system allows it and restores the old one on
// destruction; where raising is not permitted the run simply goes on at normal priority.
class CRaisedPriority {
public:
    CRaisedPriority();
    ~CRaisedPriority();
    CRaisedPriority(const CRaisedPriority&) = delete;
    CRaisedPriority& operator=(const CRaisedPriority&) = delete;

private:
    int m_old = 0;
    bool m_changed = false;
};
