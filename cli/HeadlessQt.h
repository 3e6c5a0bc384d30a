// The Qt application the drawing commands of the batch tool need, on the offscreen
// platform, with the view's fonts; Qt's own notices are dropped, its errors printed.
#pragma once

#include <QGuiApplication>
#include <memory>

class CHeadlessQt {
public:
    // command names the subcommand in the errors printed.
    explicit CHeadlessQt(const char* command);

private:
    std::unique_ptr<QGuiApplication> m_app;
};
