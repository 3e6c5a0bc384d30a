#include "export/Workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <thread>

#include "export/ExportProgress.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ReplacingFile.h"
#include "platform/TextFile.h"

namespace {

void CannotWrite(const std::string& path) {
    ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
}

// Display width of a UTF-8 text in Excel columns: CJK characters take two.
double ColumnWidth(const std::string& s) {
    double w = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80)
            w += 1;
        else if (c >= 0xE0)
            w += 2;  // the lead byte of a three- or four-byte character
    }
    return w;
}

// A file name from a sheet name: characters that file systems refuse become '_'.
std::string FileNameOf(const std::string& sheet) {
    std::string s = sheet;
    for (char& c : s)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|')
            c = '_';
    return s;
}

}  // namespace

std::string ShortestNumber(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        const std::string& f = fields[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

bool WriteWorkbook(const std::vector<CTable>& tables, const std::string& path,
                   CExportProgress* progress) {
    // libxlsxwriter writes the scratch file beside path by its name; it replaces path only
    // when complete, so a failed or stopped export leaves the old file as it was.
    CReplacingFile file;
    lxw_workbook* book = file.Open(path) ? workbook_new(file.ScratchPath().c_str()) : nullptr;
    if (!book) {
        CannotWrite(path);
        return false;
    }
    // Filling the sheets is a tenth of the time; workbook_close, which writes the whole file,
    // the rest.
    constexpr double kSheetShare = 0.1;
    double rows = 0, rowsDone = 0;
    for (const CTable& t : tables) rows += static_cast<double>(t.rows.size()) + 1;
    const auto started = std::chrono::steady_clock::now();
    lxw_format* head = workbook_add_format(book);
    format_set_bold(head);
    format_set_bottom(head, LXW_BORDER_THIN);
    bool ok = true;
    for (const CTable& t : tables) {
        if (progress && !progress->Step(kSheetShare * rowsDone / rows)) {
            lxw_workbook_free(book);
            return false;
        }
        rowsDone += static_cast<double>(t.rows.size()) + 1;
        lxw_worksheet* sheet = workbook_add_worksheet(book, t.sheet.c_str());
        if (!sheet) {
            ok = false;
            break;
        }
        std::vector<double> widths(t.headers.size(), 8);
        for (size_t c = 0; c < t.headers.size(); ++c) {
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), t.headers[c].c_str(), head);
            widths[c] = std::max(widths[c], ColumnWidth(t.headers[c]) + 2);
        }
        for (size_t r = 0; r < t.rows.size(); ++r) {
            const auto row = static_cast<lxw_row_t>(r + 1);
            for (size_t c = 0; c < t.rows[r].size(); ++c) {
                const CCell& cell = t.rows[r][c];
                const auto col = static_cast<lxw_col_t>(c);
                // A workbook cannot hold a number that is not finite; it shows as text.
                if (cell.isText || !std::isfinite(cell.number))
                    worksheet_write_string(
                        sheet, row, col,
                        (cell.isText ? cell.text : ShortestNumber(cell.number)).c_str(), nullptr);
                else
                    worksheet_write_number(sheet, row, col, cell.number, nullptr);
            }
        }
        for (size_t c = 0; c < widths.size(); ++c)
            worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 std::max(widths[c], 14.0), nullptr);
        worksheet_freeze_panes(sheet, 1, 0);
    }
    lxw_error closed = LXW_NO_ERROR;
    if (!progress) {
        closed = workbook_close(book);
    } else {
        // workbook_close cannot report or stop: it runs on a thread of its own while this one
        // keeps the progress window alive, the bar moving by the time it takes (about nine
        // times that of filling the sheets on girders of 2,000 and 20,000 elements). A stop
        // asked for meanwhile takes effect when it returns.
        const double sheets =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::atomic<bool> done{false};
        std::thread closer([&] {
            closed = workbook_close(book);
            done = true;
        });
        while (!done) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() -
                sheets;
            progress->Wait(kSheetShare +
                           (1 - kSheetShare) * std::min(0.95, elapsed / (9 * sheets + 1e-3)));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        closer.join();
        // The last look at the stop flag, before the file replaces the old one.
        if (!progress->Step(1)) return false;
    }
    if (!ok || closed != LXW_NO_ERROR || !file.Commit()) {
        CannotWrite(path);
        return false;
    }
    return true;
}

bool WriteCsvFiles(const std::vector<CTable>& tables, const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        CannotWrite(folder);
        return false;
    }
    for (const CTable& t : tables) {
        const std::string path = folder + "/" + FileNameOf(t.sheet) + ".csv";
        CTextOut out;
        if (!out.Open(path)) {
            CannotWrite(path);
            return false;
        }
        // Spreadsheet programs take a file without a BOM for the local code page.
        out.Write("\xEF\xBB\xBF");
        out.Write(CsvLine(t.headers));
        out.Write("\r\n");
        std::vector<std::string> fields;
        for (const std::vector<CCell>& row : t.rows) {
            fields.clear();
            for (const CCell& c : row)
                fields.push_back(c.isText ? c.text : ShortestNumber(c.number));
            out.Write(CsvLine(fields));
            out.Write("\r\n");
        }
        if (!out.Close()) {
            CannotWrite(path);
            return false;
        }
    }
    return true;
}
