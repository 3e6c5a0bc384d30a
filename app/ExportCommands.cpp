// 文件 > 导出计算书 / 导出到Excel / 导出DXF: what leaves the program from a result document.
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/MorvexDoc.h"
#include "engine/PlaneFrame.h"
#include "export/DxfSurface.h"
#include "export/ExportProgress.h"
#include "export/Workbook.h"
#include "export/qt/CalcReport.h"
#include "platform/Host.h"
#include "view/qt/MorvexViewWidget.h"

namespace {

// What an export of the window covers: every case, the envelopes computed for the present
// data file, the combinations when the model has a combination file, the modes once the
// vibration has been analysed (the first three).
CExportChoice WindowChoice(const CPlaneFrame& f, const std::string& femPath) {
    CExportChoice c;
    c.envelopeTypes = CurrentEnvelopeTypes(f, femPath);
    std::error_code ec;
    c.combinations = std::filesystem::exists(f.m_baseName + "_组合.txt", ec);
    c.modes = f.m_modeOrder.empty() ? 0 : std::min(3, f.m_nModes);
    return c;
}

}  // namespace

bool CMainFrame::ExportActiveResult(int id, const QString& path) {
    CMorvexDoc* doc = ActiveResultDoc();
    CMorvexViewWidget* widget = ActiveResultView();
    if (!doc || !doc->Engine() || !widget) return false;
    CPlaneFrame& f = *doc->Engine();
    // The vibration worker is filling the engine's modal arrays.
    if (f.m_busy != 0) {
        ShowMessage("固有振动分析进行中，请在分析结束后再导出!");
        return false;
    }
    const std::string out = path.toStdString();
    const std::string fem = doc->PathName().toStdString();
    const QString name = QFileInfo(path).fileName();
    SetPaneText(0, QStringLiteral("正在导出%1...").arg(name));
    // In a progress window whose "取消" clears the engine's stop flag; a stopped export
    // leaves no file at the path and an old one as it was.
    const char* title = id == ID_EXPORT_REPORT  ? "导出计算书"
                        : id == ID_EXPORT_EXCEL ? "导出到Excel"
                                                : "导出DXF";
    bool stopped = false;
    const bool ok = widget->RunWithProgress(title, f.m_keepRunning, [&] {
        CExportProgress progress(name.toStdString(), f.m_keepRunning);
        bool done = false;
        if (id == ID_EXPORT_DXF) {
            done = WriteViewDxf(widget->View(), out, true, &progress);
        } else {
            const CExportChoice choice = WindowChoice(f, fem);
            if (RunRequestedAnalyses(f, choice)) {
                if (id == ID_EXPORT_REPORT) {
                    CReportChoice report;
                    report.results = choice;
                    done = WriteCalcReport(f, fem, report, out, &progress);
                } else {
                    std::vector<CTable> tables;
                    progress.Part(0, 0.1);
                    if (AllTables(f, choice, tables, &progress)) {
                        progress.Part(0.1, 1);
                        done = WriteWorkbook(tables, out, &progress);
                    }
                }
            }
        }
        stopped = progress.Stopped();
        return done;
    });
    SetPaneText(0, ok        ? QStringLiteral("已导出%1").arg(path)
                   : stopped ? QStringLiteral("导出已取消")
                             : QStringLiteral("就绪"));
    return ok;
}

void CMainFrame::OnExport(int id) {
    CMorvexDoc* doc = ActiveResultDoc();
    if (!doc) return;
    struct Kind {
        const char* title;
        const char* suffix;
        const char* filter;
    };
    const Kind kind = id == ID_EXPORT_REPORT ? Kind{"导出计算书", "_计算书.pdf", "PDF 文件 (*.pdf)"}
                      : id == ID_EXPORT_EXCEL
                          ? Kind{"导出到Excel", "_结果.xlsx", "Excel 工作簿 (*.xlsx)"}
                          : Kind{"导出DXF", "_图形.dxf", "DXF 图纸 (*.dxf)"};
    const QString start = doc->PathBase() + QString::fromUtf8(kind.suffix);
    const QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8(kind.title), start,
                                                      QString::fromUtf8(kind.filter));
    if (path.isEmpty()) return;
    ExportActiveResult(id, path);
}
