// The result-view widget driven as a user drives it, on the bundled example: context-menu
// commands, selector, enable and check rules, switch texts, previous/next, magnify, the
// element-group dialog, window zoom with the mouse, and the painted picture.
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "engine/AnalysisRun.h"
#include "platform/TextFile.h"
#include "view/RecordingSurface.h"
#include "view/ViewCommands.h"
#include "view/qt/ElementGroupDialog.h"
#include "view/qt/MorvexViewWidget.h"

namespace {

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

// Triggers the context-menu entry with the given text, as a click on it does.
bool Trigger(CMorvexViewWidget& w, const char* text) {
    std::unique_ptr<QMenu> menu(w.CreateContextMenu(&w));
    QAction* a = FindAction(menu.get(), QString::fromUtf8(text));
    if (!a || !a->isEnabled()) return false;
    a->trigger();
    return true;
}

// Numbers written by the extreme labels of the present graph.
std::vector<std::string> Labels(CMorvexView& v) {
    CRecordingSurface s;
    v.DrawGraph(s);
    std::vector<std::string> out;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Text))
        if (op.colour == Rgb(0, 0, 0)) out.push_back(op.text);
    return out;
}

int CountColour(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) ++n;
    return n;
}

// Pixels of a colour or blended from it with the white ground (antialiased thin lines).
int CountTint(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (p == Qt::white) continue;
            // On the line from white to the colour: every channel the same share of the way.
            const double share = (255.0 - p.blue() + 255.0 - p.red() + 255.0 - p.green()) /
                                 (765.0 - colour.red() - colour.green() - colour.blue());
            if (share < 0.5) continue;
            auto near = [share](int c, int target) {
                return std::abs(255 - share * (255 - target) - c) < 40;
            };
            if (near(p.red(), colour.red()) && near(p.green(), colour.green()) &&
                near(p.blue(), colour.blue()))
                ++n;
        }
    return n;
}

}  // namespace

class ViewWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void contextMenuSelectsGraphsAndFollowsTheRules();
    void switchTextsAndPreviousNext();
    void magnifyTwiceKeepsTheLabels();
    void modelWithoutLoadCasesFallsBackToTheStructure();
    void elementGroupDialogRefusesBadFields();
    void windowZoomWithTheMouse();
    void paintedPictureShowsTheDiagram();
    void printingKeepsTheScreenMapping();

private:
    std::unique_ptr<CPlaneFrame> Analyse(const std::string& name);

    QTemporaryDir m_dir;
    std::filesystem::path m_oldDir;
    CPlainViewFrame m_frame;
    std::unique_ptr<CPlaneFrame> m_engine;
    std::unique_ptr<CMorvexViewWidget> m_widget;
};

std::unique_ptr<CPlaneFrame> ViewWidgetTest::Analyse(const std::string& name) {
    auto engine = RunAnalysis(name);
    if (engine) engine->m_keepScratchFiles = false;
    return engine;
}

void ViewWidgetTest::init() {
    QVERIFY(m_dir.isValid());
    m_oldDir = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.path().toStdString());
    std::filesystem::copy_file(std::string(MORVEX_SOURCE_DIR) + "/examples/three_span_girder.fem",
                               "g.fem", std::filesystem::copy_options::overwrite_existing);
    m_engine = Analyse("g.fem");
    QVERIFY(m_engine);
    m_frame = CPlainViewFrame();
    m_widget = std::make_unique<CMorvexViewWidget>(m_frame);
    m_widget->resize(900, 500);
    m_widget->View().InitialUpdate(m_engine.get());
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
}

void ViewWidgetTest::cleanup() {
    m_widget.reset();
    m_engine.reset();
    std::filesystem::current_path(m_oldDir);
}

void ViewWidgetTest::contextMenuSelectsGraphsAndFollowsTheRules() {
    CMorvexView& v = m_widget->View();
    QCOMPARE(m_frame.graphSelector, 0);
    QVERIFY(Trigger(*m_widget, "弯矩图"));
    QCOMPARE(v.m_graphKind, 2);
    QCOMPARE(m_frame.graphSelector, 2);
    QVERIFY(v.CommandState(ID_ELEMENT_GROUP).enabled);

    QVERIFY(Trigger(*m_widget, "位移状态"));
    QCOMPARE(v.m_graphKind, 1);
    std::unique_ptr<QMenu> menu(m_widget->CreateContextMenu(m_widget.get()));
    QVERIFY(FindAction(menu.get(), QString::fromUtf8("位移状态"))->isChecked());
    QVERIFY(!FindAction(menu.get(), QString::fromUtf8("影响线"))->isChecked());
    // Envelopes come with the loading path; modes and the dynamic response need their
    // analyses first.
    QVERIFY(FindAction(menu.get(), QString::fromUtf8("弯矩包络图"))->isEnabled());
    QVERIFY(!FindAction(menu.get(), QString::fromUtf8("主振型"))->isEnabled());
    QVERIFY(!FindAction(menu.get(), QString::fromUtf8("动力响应"))->isEnabled());
    QVERIFY(!v.CommandState(ID_ELEMENT_GROUP).enabled);

    // The example asks for four influence lines over its whole deck.
    QVERIFY(Trigger(*m_widget, "影响线"));
    QCOMPARE(v.m_graphKind, 8);
    // The selector runs the same commands.
    for (int kind : {3, 4, 10, 11, 0}) {
        v.OnGraphSelector(kind);
        QCOMPARE(v.m_graphKind, kind);
    }
    v.OnGraphSelector(9);  // no modes before the natural-vibration analysis
    QCOMPARE(v.m_graphKind, 0);
    QCOMPARE(m_frame.graphSelector, 0);
}

void ViewWidgetTest::switchTextsAndPreviousNext() {
    CMorvexView& v = m_widget->View();
    std::unique_ptr<QMenu> menu(m_widget->CreateContextMenu(m_widget.get()));
    QVERIFY(FindAction(menu.get(), QString::fromUtf8("隐藏节点号")));
    QVERIFY(FindAction(menu.get(), QString::fromUtf8("显示截面")));
    QVERIFY(Trigger(*m_widget, "隐藏节点号"));
    QVERIFY(Trigger(*m_widget, "显示截面"));
    menu.reset(m_widget->CreateContextMenu(m_widget.get()));
    QVERIFY(FindAction(menu.get(), QString::fromUtf8("显示节点号")));
    QVERIFY(FindAction(menu.get(), QString::fromUtf8("隐藏截面")));
    QVERIFY(!v.m_showNodeNumbers);
    QVERIFY(v.m_showSections);

    QVERIFY(Trigger(*m_widget, "弯矩图"));
    QVERIFY(!v.CommandState(ID_PREVIOUS).enabled);
    m_widget->RunCommand(ID_NEXT);
    m_widget->RunCommand(ID_NEXT);
    QCOMPARE(v.m_caseIndex, 2);
    QVERIFY(!v.CommandState(ID_NEXT).enabled);
    m_widget->RunCommand(ID_NEXT);
    QCOMPARE(v.m_caseIndex, 2);
    QVERIFY(v.CommandState(ID_PREVIOUS).enabled);
    // Influence lines step on their own: four lines.
    QVERIFY(Trigger(*m_widget, "影响线"));
    for (int i = 0; i < 5; ++i) m_widget->RunCommand(ID_NEXT);
    QCOMPARE(v.m_lineIndex, 3);
    QCOMPARE(v.m_caseIndex, 2);
}

void ViewWidgetTest::magnifyTwiceKeepsTheLabels() {
    CMorvexView& v = m_widget->View();
    QVERIFY(Trigger(*m_widget, "弯矩图"));
    m_widget->grab();  // the first drawing fixes the automatic scale
    const double factor = v.m_graphScale[graph::kMoment].factor;
    QVERIFY(factor < 1.0);
    QCOMPARE(m_frame.currentScale, factor);
    const std::vector<std::string> before = Labels(v);
    QVERIFY(before.size() >= size_t(2));  // the overall extremes, then those of the spans
    m_widget->RunCommand(ID_MAGNIFY);
    m_widget->RunCommand(ID_MAGNIFY);
    QCOMPARE(v.m_graphScale[graph::kMoment].factor, 4 * factor);
    QCOMPARE(m_frame.currentScale, 4 * factor);
    QVERIFY(Labels(v) == before);
}

void ViewWidgetTest::modelWithoutLoadCasesFallsBackToTheStructure() {
    QVERIFY(WriteWholeFile("plain.fem",
                           "3 2 0 1 1 0 2 0\n1 0 0 0 0\n3 8 0 0 1\n1 2e11\n"
                           "1 0.02 2e-4 0 0 0.2 0.2\n1 1 2 1 1 1 0\n2 2 3 1 1 1 0\n"
                           "1 110\n3 10\n"));
    auto engine = Analyse("plain.fem");
    QVERIFY(engine);
    CPlainViewFrame frame;
    CMorvexViewWidget w(frame);
    w.resize(400, 300);
    w.View().InitialUpdate(engine.get());
    w.View().OnGraphSelector(2);
    QCOMPARE(w.View().m_graphKind, 0);
    QCOMPARE(frame.graphSelector, 0);
    QVERIFY(!Trigger(w, "位移状态"));
    QVERIFY(Trigger(w, "弯矩图"));
    QCOMPARE(w.View().m_graphKind, 0);
    w.grab();
    QCOMPARE(QString::fromStdString(frame.panes[1]), QString::fromUtf8("结构图"));
}

void ViewWidgetTest::elementGroupDialogRefusesBadFields() {
    CElementGroupDialog dialog(20, CElementGroup{1, 20, 1});
    QStringList messages;
    dialog.showMessage = [&](const QString& text) { messages << text; };
    dialog.stepEdit->setText("0");
    dialog.TryAccept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(messages.value(0), QString::fromUtf8("增量单元必须大于0！"));
    dialog.stepEdit->setText("-3");
    dialog.TryAccept();
    QCOMPARE(messages.size(), 2);
    dialog.firstEdit->setText("abc");
    dialog.stepEdit->setText("2");
    dialog.TryAccept();
    QCOMPARE(messages.value(2), QString::fromUtf8("请键入一个整数。"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.firstEdit->setText("5");
    dialog.TryAccept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Fields().first, 5);
    QCOMPARE(dialog.Fields().step, 2);
    dialog.FillAll();
    QCOMPARE(dialog.firstEdit->text(), QString("1"));
    QCOMPARE(dialog.lastEdit->text(), QString("20"));
    QCOMPARE(dialog.stepEdit->text(), QString("1"));
}

void ViewWidgetTest::windowZoomWithTheMouse() {
    CMorvexView& v = m_widget->View();
    m_widget->grab();
    const double fitted = v.m_scale;
    m_widget->RunCommand(ID_WINDOW_ZOOM);
    QTest::mouseClick(m_widget.get(), Qt::LeftButton, {}, QPoint(200, 200));
    QCOMPARE(v.m_dragState, 1);
    QTest::mouseMove(m_widget.get(), QPoint(300, 260));
    // The rubber rectangle inverts the white background along its edges.
    const QImage rubber = m_widget->grab().toImage();
    QCOMPARE(rubber.pixelColor(250, 200), QColor(0, 0, 0));
    QCOMPARE(rubber.pixelColor(300, 230), QColor(0, 0, 0));
    QCOMPARE(rubber.pixelColor(250, 230), QColor(255, 255, 255));
    QTest::mouseClick(m_widget.get(), Qt::LeftButton, {}, QPoint(300, 260));
    QCOMPARE(v.m_dragState, 0);
    m_widget->grab();
    QVERIFY(v.m_scale > 5 * fitted);
    std::unique_ptr<QMenu> menu(m_widget->CreateContextMenu(m_widget.get()));
    QVERIFY(FindAction(menu.get(), QString::fromUtf8("初始窗口")));
    QVERIFY(Trigger(*m_widget, "初始窗口"));
    m_widget->grab();
    QCOMPARE(v.m_scale, fitted);
}

void ViewWidgetTest::paintedPictureShowsTheDiagram() {
    QVERIFY(Trigger(*m_widget, "弯矩图"));
    const QImage moment = m_widget->grab().toImage();
    QVERIFY(CountColour(moment, QColor(255, 0, 255)) > 200);
    QVERIFY(CountColour(moment, QColor(0, 128, 0)) > 200);
    m_widget->View().OnGraphSelector(0);
    const QImage structure = m_widget->grab().toImage();
    QCOMPARE(CountColour(structure, QColor(255, 0, 255)), 0);
    // The support symbols (antialiased: blends of blue with the white ground count too).
    QVERIFY(CountTint(structure, QColor(0, 0, 255)) > 50);
}

void ViewWidgetTest::printingKeepsTheScreenMapping() {
    CMorvexView& v = m_widget->View();
    QVERIFY(Trigger(*m_widget, "弯矩图"));
    m_widget->grab();
    const double scale = v.m_scale, cx = v.m_worldCx;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("page.pdf");
    m_widget->PrintPage(printer);
    QCOMPARE(v.m_scale, scale);
    QCOMPARE(v.m_worldCx, cx);
    QVERIFY(QFileInfo("page.pdf").size() > 1000);
}

int main(int argc, char** argv) {
    // Headless: the offscreen platform unless the caller chose one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ViewWidgetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ViewWidgetTest.moc"
