#include "export/qt/CalcReport.h"

#include <QDate>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "engine/CaseFile.h"
#include "engine/PlaneFrame.h"
#include "export/ExportProgress.h"
#include "liveload/LiveLoad.h"
#include "platform/BinaryFile.h"
#include "platform/DataLineReader.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "view/MorvexView.h"
#include "view/ViewFrame.h"
#include "view/qt/PageLayout.h"

#ifndef MORVEX_VERSION
#define MORVEX_VERSION "0"
#endif

namespace {

constexpr double kDpi = 600;
constexpr double kPx = kDpi / 25.4;  // device pixels per millimetre
constexpr double kHeaderMm = 9, kFooterMm = 8;
constexpr double kRowMm = 5.2, kHeadingMm = 9, kLineMm = 6;

QFont Font(double mm, bool bold = false) {
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(mm * kPx))));
    f.setBold(bold);
    // Shaping would swap in digit glyphs without character codes: the text layer would
    // lose them.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A piece of a page, drawn once the page count is known.
using PageItem = std::function<void(QPainter&, const QRectF& content, int page, int pages)>;

struct Page {
    QString section;
    std::vector<PageItem> items;
};

// Columns whose every value is a whole number (numbers of nodes, elements, cases) print
// without a fraction; positions with three decimals; everything else as the result files
// print it.
std::vector<int> ColumnKinds(const CTable& t) {
    std::vector<int> kinds(t.headers.size(), 0);  // 0 whole, 1 position, 2 real
    for (size_t c = 0; c < t.headers.size(); ++c) {
        if (t.headers[c].rfind("位置", 0) == 0 || t.headers[c].rfind("x (m)", 0) == 0) kinds[c] = 1;
        for (const auto& row : t.rows)
            if (c < row.size() && !row[c].isText && kinds[c] == 0 &&
                (row[c].number != std::floor(row[c].number) || std::fabs(row[c].number) > 1e9))
                kinds[c] = 2;
    }
    return kinds;
}

QString CellText(const CCell& cell, int kind) {
    if (cell.isText) return Q(cell.text);
    if (kind == 0) return QString::number(static_cast<long long>(cell.number));
    if (kind == 1) return Q(FormatString("%.3f", cell.number));
    return Q(FormatString("%.6e", cell.number));
}

// Lays the report out page by page; Draw() then paints the pages.
class CReportBuilder {
public:
    CReportBuilder(QPdfWriter& writer, double contentWmm, double contentHmm)
        : m_writer(writer), m_w(contentWmm), m_h(contentHmm) {}

    void BeginSection(const QString& title) {
        m_section = title;
        m_sections.push_back({title, static_cast<int>(m_pages.size()) + 1});
        NewPage();
    }

    void Heading(const QString& text) {
        if (m_y + kHeadingMm + 2 * kRowMm > m_h) NewPage();
        const double y = m_y;
        Add([text, y](QPainter& p, const QRectF& c, int, int) {
            p.setFont(Font(3.6, true));
            p.drawText(QRectF(c.left(), c.top() + y * kPx, c.width(), kHeadingMm * kPx),
                       Qt::AlignLeft | Qt::AlignVCenter, text);
        });
        m_y += kHeadingMm;
    }

    void Paragraph(const QString& text) {
        if (m_y + kLineMm > m_h) NewPage();
        const double y = m_y;
        Add([text, y](QPainter& p, const QRectF& c, int, int) {
            p.setFont(Font(3.0));
            p.drawText(QRectF(c.left(), c.top() + y * kPx, c.width(), kLineMm * kPx),
                       Qt::AlignLeft | Qt::AlignVCenter, text);
        });
        m_y += kLineMm;
    }

    // A table under its title, continued on the next pages with its heads repeated.
    void Table(const CTable& t) {
        Heading(Q(t.title));
        auto shared = std::make_shared<CTable>(t);
        const auto kinds = std::make_shared<std::vector<int>>(ColumnKinds(t));
        // Column widths from the widest text of each column; the font shrinks for wide tables.
        double font = 2.6;
        std::vector<double> widths(t.headers.size(), 0);
        const QFontMetricsF bold(Font(font, true), &m_writer), plain(Font(font), &m_writer);
        for (size_t c = 0; c < t.headers.size(); ++c) {
            widths[c] = bold.horizontalAdvance(Q(t.headers[c]));
            for (const auto& row : t.rows)
                if (c < row.size())
                    widths[c] =
                        std::max(widths[c], plain.horizontalAdvance(CellText(row[c], (*kinds)[c])));
            widths[c] = widths[c] / kPx + 3;  // mm, with the cell's padding
        }
        double total = 0;
        for (double w : widths) total += w;
        if (total > m_w) {
            font *= m_w / total;
            for (double& w : widths) w *= m_w / total;
        }
        auto cols = std::make_shared<std::vector<double>>(widths);
        size_t row = 0;
        while (true) {
            if (m_y + 2 * kRowMm > m_h) NewPage();
            const int fit = static_cast<int>((m_h - m_y) / kRowMm) - 1;
            const size_t count =
                std::min(t.rows.size() - row, static_cast<size_t>(std::max(fit, 1)));
            const double y = m_y;
            Add([shared, kinds, cols, row, count, y, font](QPainter& p, const QRectF& c, int, int) {
                DrawTableSlice(p, c, y, *shared, *kinds, *cols, row, count, font);
            });
            m_y += (count + 1) * kRowMm + 3;
            row += count;
            if (row >= t.rows.size()) break;
        }
    }

    // A whole page: the view's picture fitted above its title block, as printed.
    void Diagram(CMorvexView& view, const QString& dataFile, std::function<void()> setUp) {
        NewPage();
        Add([&view, dataFile, setUp](QPainter& p, const QRectF& c, int page, int pages) {
            setUp();
            CPageInfo info;
            info.dataFile = dataFile;
            info.page = page;
            info.pages = pages;
            DrawFittedPage(p, c, kDpi, view, info);
        });
        m_y = m_h;  // nothing else on this page
    }

    void Add(PageItem item) {
        if (m_pages.empty()) NewPage();
        m_pages.back().items.push_back(std::move(item));
    }

    void NewPage() {
        m_pages.push_back({m_section, {}});
        m_y = 0;
    }

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    const std::vector<std::pair<QString, int>>& Sections() const { return m_sections; }

    // Paints every page; false when a page could not be begun, or when the progress (one
    // step per page) reports a stop.
    bool Draw(QPainter& painter, const QString& model, const QRectF& page,
              CExportProgress* progress) {
        const int pages = PageCount();
        const QRectF content(page.left(), page.top() + kHeaderMm * kPx, page.width(),
                             page.height() - (kHeaderMm + kFooterMm) * kPx);
        for (int i = 0; i < pages; ++i) {
            if (progress && !progress->Step(static_cast<double>(i) / pages)) return false;
            if (i > 0 && !m_writer.newPage()) return false;
            const Page& pg = m_pages[static_cast<size_t>(i)];
            painter.setPen(QPen(Qt::black, 0.25 * kPx));
            painter.setFont(Font(3.0));
            if (i > 0) {
                const QRectF head(page.left(), page.top(), page.width(), (kHeaderMm - 2) * kPx);
                painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter, model);
                painter.drawText(head, Qt::AlignRight | Qt::AlignVCenter, pg.section);
                painter.drawLine(QPointF(page.left(), head.bottom()),
                                 QPointF(page.right(), head.bottom()));
            }
            painter.drawText(QRectF(page.left(), page.bottom() - (kFooterMm - 2) * kPx,
                                    page.width(), (kFooterMm - 2) * kPx),
                             Qt::AlignCenter,
                             QStringLiteral("第 %1 页 共 %2 页").arg(i + 1).arg(pages));
            for (const PageItem& item : pg.items) {
                painter.save();
                item(painter, content, i + 1, pages);
                painter.restore();
            }
        }
        return true;
    }

private:
    static void DrawTableSlice(QPainter& p, const QRectF& c, double y, const CTable& t,
                               const std::vector<int>& kinds, const std::vector<double>& cols,
                               size_t first, size_t count, double font) {
        const double rowH = kRowMm * kPx;
        double top = c.top() + y * kPx;
        double width = 0;
        for (double w : cols) width += w * kPx;
        p.setPen(QPen(Qt::black, 0.15 * kPx));
        p.fillRect(QRectF(c.left(), top, width, rowH), QColor(230, 230, 230));
        auto drawRow = [&](const std::function<QString(size_t)>& text, bool head) {
            p.setFont(Font(font, head));
            double x = c.left();
            for (size_t k = 0; k < cols.size(); ++k) {
                const QRectF cell(x + 1.5 * kPx, top, cols[k] * kPx - 3 * kPx, rowH);
                p.drawText(
                    cell,
                    Qt::AlignVCenter | (head || kinds[k] == 0 ? Qt::AlignHCenter : Qt::AlignRight),
                    text(k));
                x += cols[k] * kPx;
            }
            p.drawLine(QPointF(c.left(), top + rowH), QPointF(c.left() + width, top + rowH));
            top += rowH;
        };
        p.drawLine(QPointF(c.left(), top), QPointF(c.left() + width, top));
        drawRow([&](size_t k) { return Q(t.headers[k]); }, true);
        for (size_t r = first; r < first + count; ++r)
            drawRow(
                [&](size_t k) {
                    return k < t.rows[r].size() ? CellText(t.rows[r][k], kinds[k]) : QString();
                },
                false);
    }

    QPdfWriter& m_writer;
    double m_w, m_h;  // content size, mm
    double m_y = 0;   // mm from the content's top on the present page
    QString m_section;
    std::vector<Page> m_pages;
    std::vector<std::pair<QString, int>> m_sections;
};

// The extremes of N, Q and M of one case from the end of its per-case file.
bool ExtremeTable(const CPlaneFrame& f, int k, CTable& t) {
    t = CTable{"",
               FormatString("工况 %d 内力极值", k + 1),
               {"内力", "最大值", "单元", "距i端 (m)", "最小值", "单元", "距i端 (m)"},
               {}};
    const std::string path = f.CaseBinaryPath(k + 1);
    CCaseFileIn in;
    if (!in.Open(path)) {
        ShowMessage("内力文件" + path + "不存在或不完整！");
        return false;
    }
    static const char* const kNames[3] = {"轴力 N (N)", "剪力 Q (N)", "弯矩 M (N·m)"};
    for (int q = 0; q < casefile::kValues; ++q) {
        ExtremeRecord x;
        if (!in.Extreme(f.m_nElements, q, x)) {
            ShowMessage("内力文件" + path + "不存在或不完整！");
            return false;
        }
        t.rows.push_back({Text(kNames[q]), Text(FormatString("%.6e", x.maxValue)),
                          Num(x.maxElement + 1), Num(x.maxAt), Text(FormatString("%.6e", x.minValue)),
                          Num(x.minElement + 1), Num(x.minAt)});
    }
    return true;
}

CTable CaseRows(const CTable& all, int k, const std::string& title) {
    CTable t{
        all.sheet, title, {all.headers[0], all.headers[2], all.headers[3], all.headers[4]}, {}};
    for (const auto& row : all.rows)
        if (row[1].number == k + 1) t.rows.push_back({row[0], row[2], row[3], row[4]});
    return t;
}

// Element ends and mid-points of an envelope table (positions 0, 0.5 and 1).
CTable EnvelopeSummary(const CTable& full) {
    CTable t = full;
    t.rows.clear();
    for (size_t r = 0; r < full.rows.size(); ++r)
        if (r % 11 == 0 || r % 11 == 5 || r % 11 == 10) t.rows.push_back(full.rows[r]);
    t.title += "（单元两端及中点）";
    return t;
}

// The first line of the data file when it is a title rather than data.
std::string ModelTitle(const std::string& femPath) {
    std::ifstream in(femPath, std::ios::binary);
    std::string line;
    std::getline(in, line);
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || CDataLineReader::IsDataLine(CDataLineReader::TrimLeft(line)))
        return std::string();
    return line;
}

// Radicals that a CJK font draws with an ideograph's glyph, mapped to that ideograph.
QHash<uint, uint> RadicalMap() {
    QHash<uint, uint> map;
    QString ideographs, radicals;
    for (uint u = 0x4E00; u <= 0x9FFF; ++u) ideographs.append(QChar(static_cast<char16_t>(u)));
    for (uint r = 0x2E80; r <= 0x2FDF; ++r) radicals.append(QChar(static_cast<char16_t>(r)));
    for (const char* family : {"Noto Serif CJK SC", "Noto Sans CJK SC"}) {
        QFont font(QString::fromLatin1(family));
        font.setPixelSize(64);
        const QRawFont raw = QRawFont::fromFont(font);
        if (!raw.isValid()) continue;
        const QList<quint32> ig = raw.glyphIndexesForString(ideographs);
        const QList<quint32> rg = raw.glyphIndexesForString(radicals);
        QHash<quint32, uint> byGlyph;
        for (qsizetype i = 0; i < ig.size(); ++i)
            if (ig[i] != 0 && !byGlyph.contains(ig[i]))
                byGlyph.insert(ig[i], 0x4E00 + static_cast<uint>(i));
        for (qsizetype i = 0; i < rg.size(); ++i)
            if (rg[i] != 0 && byGlyph.contains(rg[i]) &&
                !map.contains(0x2E80 + static_cast<uint>(i)))
                map.insert(0x2E80 + static_cast<uint>(i), byGlyph.value(rg[i]));
    }
    return map;
}

}  // namespace

bool RepairTextLayer(const std::string& pdfPath) {
    std::string pdf;
    {
        std::ifstream in(pdfPath, std::ios::binary);
        if (!in) return false;
        std::ostringstream s;
        s << in.rdbuf();
        pdf = s.str();
    }
    const QHash<uint, uint> map = RadicalMap();
    bool changed = false;
    // Replaces the 4-digit target <XXXX> at i when it names a radical.
    auto fix = [&](size_t i) {
        if (i + 5 >= pdf.size() || pdf[i] != '<' || pdf[i + 5] != '>') return;
        bool ok = false;
        const uint cp = QString::fromLatin1(pdf.data() + i + 1, 4).toUInt(&ok, 16);
        if (!ok || !map.contains(cp)) return;
        const std::string hex = FormatString("%04X", map.value(cp));
        pdf.replace(i + 1, 4, hex);
        changed = true;
    };
    for (const char* kind : {"bfrange", "bfchar"}) {
        const std::string begin = std::string("begin") + kind, end = std::string("end") + kind;
        for (size_t at = pdf.find(begin); at != std::string::npos; at = pdf.find(begin, at + 1)) {
            const size_t stop = pdf.find(end, at);
            if (stop == std::string::npos) break;
            size_t line = pdf.find('\n', at);
            while (line != std::string::npos && line < stop) {
                const size_t next = std::min(pdf.find('\n', line + 1), stop);
                // Tokens of the line: sources first, then targets (after '[' in a range).
                std::vector<size_t> tokens;
                const size_t bracket = pdf.find('[', line);
                for (size_t i = pdf.find('<', line); i < next; i = pdf.find('<', i + 1))
                    tokens.push_back(i);
                if (bracket < next) {
                    for (size_t i : tokens)
                        if (i > bracket) fix(i);
                } else if (kind[2] == 'c' && tokens.size() == 2) {
                    fix(tokens[1]);
                }
                line = next < stop ? next : std::string::npos;
            }
            at = stop;
        }
    }
    if (!changed) return true;
    const std::string temp = pdfPath + ".part";
    {
        std::ofstream out(temp, std::ios::binary);
        out.write(pdf.data(), static_cast<std::streamsize>(pdf.size()));
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, pdfPath, ec);
    return !ec;
}

bool WriteCalcReport(CPlaneFrame& f, const std::string& femPath, const CReportChoice& choice,
                     const std::string& pdfPath, CExportProgress* progress) {
    // The layout takes a few per cent of the time, painting the pages nearly all of it.
    if (progress) {
        progress->Part(0, 0.03);
        if (!progress->Step(0)) return false;
    }
    // A scratch name first, so that a failed report never replaces a good one.
    const std::string temp = pdfPath + ".part";
    QPdfWriter writer(Q(temp));
    writer.setResolution(static_cast<int>(kDpi));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(18, 15, 15, 12), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("计算书"));
    writer.setCreator(QStringLiteral("Morvex " MORVEX_VERSION));
    const QRectF page(QPointF(0, 0),
                      writer.pageLayout().paintRectPixels(static_cast<int>(kDpi)).size());

    const QString dataFile = QFileInfo(Q(femPath)).fileName();
    const std::string title = ModelTitle(femPath);
    const QString model = title.empty() ? dataFile : Q(title);

    CPlainViewFrame viewFrame;
    CNullViewWindow window;
    CPlainViewDocument document(&f);
    document.m_modesReady = !f.m_modeOrder.empty();
    CMorvexView view(viewFrame, window);
    view.SetDocument(&document);
    view.InitialUpdate(&f);
    // Each picture is scaled for itself, as a freshly opened window would draw it.
    auto show = [&view](int kind, int* index, int value) {
        return [&view, kind, index, value]() {
            if (index) *index = value;
            view.m_graphScale[kind] = CGraphScale{};
            view.m_envelopeEnabled = true;
            view.OnGraphSelector(kind);
        };
    };

    const double contentH = page.height() / kPx - kHeaderMm - kFooterMm;
    CReportBuilder b(writer, page.width() / kPx, contentH);

    // Cover; its contents list is filled in once the sections are laid out.
    b.NewPage();
    const QDate today = QDate::currentDate();

    // The model.
    b.BeginSection(QStringLiteral("模型"));
    b.Paragraph(
        Q(FormatString("节点数：%d  单元数：%d  从节点数：%d  材料数：%d  截面数：%d", f.m_nNodes,
                       f.m_nElements, f.m_nSlaves, f.m_nMaterials, f.m_nSections)));
    b.Paragraph(Q(FormatString("工况数：%d  约束点数：%d  影响线条数：%d", f.m_nCases,
                               f.m_nSupports, f.m_nIlLines)));
    for (const CTable& t : ModelTables(f)) b.Table(t);
    b.Diagram(view, dataFile, show(graph::kStructure, nullptr, 0));

    // Load cases.
    CTable reactions;
    const bool haveReactions = f.m_nCases > 0 && ReactionTable(f, reactions);
    std::vector<int> cases = choice.cases;
    if (cases.empty())
        for (int k = 0; k < f.m_nCases; ++k) cases.push_back(k);
    for (int k : cases) {
        if (k < 0 || k >= f.m_nCases) continue;
        b.BeginSection(Q(FormatString("工况 %d", k + 1)));
        CTable extremes;
        if (!ExtremeTable(f, k, extremes)) return false;
        b.Table(extremes);
        if (haveReactions) b.Table(CaseRows(reactions, k, FormatString("工况 %d 约束反力", k + 1)));
        b.Table(DisplacementTable(f, k));
        for (int kind : {graph::kDisplaced, graph::kMoment, graph::kShear, graph::kAxial})
            b.Diagram(view, dataFile, show(kind, &view.m_caseIndex, k));
    }

    // Influence lines.
    if (f.m_nIlLines > 0 && !f.m_ilStates.empty()) {
        b.BeginSection(QStringLiteral("影响线"));
        for (int l = 0; l < f.m_nIlLines; ++l) {
            const InfluenceRequest& r = f.m_ilRequests[l];
            static const char* const kQ[7] = {"", "轴力", "剪力", "弯矩", "x位移", "y位移", "转角"};
            b.Paragraph(Q(FormatString("第 %d 条：单元 %d，相对位置 %.3f，%s", l + 1, r.element + 1,
                                       r.position,
                                       kQ[r.quantity >= 1 && r.quantity <= 6 ? r.quantity : 0])));
        }
        for (int l = 0; l < f.m_nIlLines; ++l)
            b.Diagram(view, dataFile, show(graph::kInfluence, &view.m_lineIndex, l));
    }

    // Envelopes.
    for (int type : choice.results.envelopeTypes) {
        b.BeginSection(Q(FormatString("包络图 %s", LiveLoadEnvelopeLabel(type))));
        for (int q = 3; q >= 1; --q) {
            CTable t;
            if (!EnvelopeTable(f, type, q, t)) return false;
            b.Table(EnvelopeSummary(t));
            b.Diagram(view, dataFile, show(8 - q, &view.m_envelopeType, type));
        }
    }

    // Load combinations: their combined envelopes at element ends and mid-points.
    if (choice.results.combinations) {
        std::vector<std::string> names;
        if (!CombinationNames(f, names)) return false;
        b.BeginSection(QStringLiteral("荷载组合"));
        for (const std::string& name : names) {
            CTable t;
            if (!CombinationTable(f, name, t)) return false;
            b.Table(EnvelopeSummary(t));
        }
    }

    // Natural vibration.
    if (choice.results.modes > 0 && !f.m_modeOrder.empty()) {
        b.BeginSection(QStringLiteral("自振特性"));
        b.Table(FrequencyTable(f, choice.results.modes));
        const int n = std::min<int>(choice.results.modes, static_cast<int>(f.m_modeOrder.size()));
        for (int m = 0; m < n; ++m)
            b.Diagram(view, dataFile, show(graph::kMode, &view.m_modeIndex, m));
    }

    if (progress) {
        if (!progress->Step(1)) return false;
        progress->Part(0.03, 1);
    }

    // The cover, now that the sections have their pages.
    const auto sections = b.Sections();
    const QString version = QStringLiteral(MORVEX_VERSION);
    QPainter painter;
    if (!painter.begin(&writer)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", pdfPath.c_str()));
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    {
        painter.save();
        painter.setFont(Font(12, true));
        painter.drawText(QRectF(0, 40 * kPx, page.width(), 20 * kPx), Qt::AlignCenter,
                         QStringLiteral("计 算 书"));
        painter.setFont(Font(5));
        painter.drawText(QRectF(0, 70 * kPx, page.width(), 24 * kPx),
                         Qt::AlignCenter | Qt::TextWordWrap, model);
        painter.setFont(Font(3.6));
        const QStringList lines = {
            QStringLiteral("数据文件：") + dataFile,
            QStringLiteral("计算日期：") + today.toString(QStringLiteral("yyyy-MM-dd")),
            QStringLiteral("计算程序：Morvex ") + version};
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(QRectF(0, (105 + 8 * i) * kPx, page.width(), 8 * kPx), Qt::AlignCenter,
                             lines[i]);
        painter.setFont(Font(4, true));
        painter.drawText(QRectF(30 * kPx, 150 * kPx, page.width() - 60 * kPx, 8 * kPx),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("目录"));
        painter.setFont(Font(3.6));
        for (size_t i = 0; i < sections.size(); ++i) {
            const QRectF row(30 * kPx, (160 + 7 * i) * kPx, page.width() - 60 * kPx, 7 * kPx);
            painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, sections[i].first);
            painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(sections[i].second));
        }
        painter.restore();
    }
    const bool drawn = b.Draw(painter, model, page, progress);
    const bool ended = painter.end();
    std::error_code ec;
    const bool stopped = progress && progress->Stopped();
    if (stopped || !drawn || !ended || !std::filesystem::exists(temp, ec) ||
        !RepairTextLayer(temp)) {
        std::filesystem::remove(temp, ec);
        if (!stopped) ShowMessage(FormatString("错误：无法写入文件%s!", pdfPath.c_str()));
        return false;
    }
    // The last look at the stop flag, before the report replaces the old one.
    if (progress && !progress->Step(1)) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    std::filesystem::rename(temp, pdfPath, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        ShowMessage(FormatString("错误：无法写入文件%s!", pdfPath.c_str()));
        return false;
    }
    return true;
}
