#include "engine/AnalysisRun.h"

#include <cctype>

#include "platform/Host.h"
#include "platform/Process.h"

std::string DataFileBase(const std::string& femPath) {
    if (femPath.size() >= 4) {
        std::string ext = femPath.substr(femPath.size() - 4);
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".fem") return femPath.substr(0, femPath.size() - 4);
    }
    return femPath;
}

std::unique_ptr<CPlaneFrame> RunAnalysis(const std::string& femPath) {
    if (!FileExists(femPath)) {
        ShowMessage("文件不存在！");
        return nullptr;
    }
    const std::string base = DataFileBase(femPath);
    auto frame = std::make_unique<CPlaneFrame>(femPath, base + ".out");
    bool ok;
    {
        CRaisedPriority priority;
        ok = frame->Read() && frame->Solve();
    }
    if (!ok) return nullptr;
    return frame;
}
