#include "engine/AnalysisRun.h"

#include <cctype>

#include "platform/Format.h"
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

std::unique_ptr<CPlaneFrame> PrepareAnalysis(const std::string& femPath, bool keepScratchFiles) {
    if (!FileExists(femPath)) {
        ShowMessage("文件不存在！");
        return nullptr;
    }
    CFileLock lock;
    if (!lock.Acquire(femPath)) {
        ShowMessage(FormatString("错误：数据文件%s正在被另一个进程使用!", femPath.c_str()));
        return nullptr;
    }
    const std::string base = DataFileBase(femPath);
    auto frame = std::make_unique<CPlaneFrame>(femPath, base + ".out");
    frame->m_modelLock = std::move(lock);
    frame->m_keepScratchFiles = keepScratchFiles;
    return frame;
}

bool AnalyseModel(CPlaneFrame& frame) {
    CRaisedPriority priority;
    return frame.Read() && frame.Solve();
}

std::unique_ptr<CPlaneFrame> RunAnalysis(const std::string& femPath, bool keepScratchFiles) {
    auto frame = PrepareAnalysis(femPath, keepScratchFiles);
    if (!frame || !AnalyseModel(*frame)) return nullptr;
    return frame;
}
