#include "app/Commands.h"

#include <map>

#include "app/AboutDialog.h"

namespace {

// The program's string table for commands.
const std::map<int, const char*>& StringTable() {
    static const std::map<int, const char*> table = {
        {ID_FILE_NEW, "建立新文档\n新建"},
        {ID_FILE_OPEN, "打开一个现有文档\n打开"},
        {ID_FILE_CLOSE, "关闭活动文档\n关闭"},
        {ID_FILE_SAVE, "保存活动文档\n保存"},
        {ID_FILE_SAVE_AS, "用新名称保存活动文档\n另存为"},
        {ID_FILE_PRINT_SETUP, "改变打印机及打印选项\n打印设置"},
        {ID_FILE_PRINT, "打印活动文档\n打印"},
        {ID_FILE_PRINT_DIRECT, "使用当前选项直接打印活动文档\n快速打印"},
        {ID_FILE_PRINT_PREVIEW, "显示整页\n打印预览"},
        {ID_FILE_MRU_FILE1, "打开该文档"},
        {ID_EDIT_CLEAR, "删除被选对象\n删除"},
        {ID_EDIT_COPY, "复制被选对象并将其置于剪贴板上\n复制"},
        {ID_EDIT_CUT, "剪切被选对象并将其置于剪贴板上\n剪切"},
        {ID_EDIT_FIND, "查找指定的正文\n查找"},
        {ID_EDIT_PASTE, "插入剪贴板内容\n粘贴"},
        {ID_EDIT_REPEAT, "重复上一步操作\n重找"},
        {ID_EDIT_REPLACE, "用不同的正文替换指定的正文\n替换"},
        {ID_EDIT_SELECT_ALL, "选择整个文档\n全选"},
        {ID_EDIT_UNDO, "撤消最后一步操作\n撤消"},
        {ID_WINDOW_NEW, "为活动文档打开另一个窗口\n新建窗口"},
        {ID_WINDOW_ARRANGE, "将图标排列在窗口底部\n排列图标"},
        {ID_WINDOW_CASCADE, "排列窗口成相互重叠\n层叠窗口"},
        {ID_WINDOW_TILE_HORZ, "排列窗口成互不重叠\n水平平铺"},
        {ID_WINDOW_TILE_VERT, "排列窗口成互不重叠\n竖直平铺"},
        {ID_APP_EXIT, "退出应用程序；提示保存文档\n退出"},
        {ID_VIEW_TOOLBAR, "显示或隐藏工具栏\n显隐工具栏"},
        {ID_VIEW_STATUS_BAR, "显示或隐藏状态栏\n显隐状态栏"},
        {ID_VIEW_RESULT, "查看计算结果\n计算结果"},
        {ID_MAGNIFY, "放大位移状态(倍数)\n放大"},
        {ID_REDUCE, "减小位移状态(倍数)\n减小"},
        {ID_EDIT_DATA, "编辑原始数据文件\n原始数据"},
        {ID_OPEN_TEXT, "打开文本文件\n打开文本"},
        {ID_DISPLACEMENT_COLOUR, "改变位移状态的颜色\n改变颜色"},
        {ID_DISPLACED_SHAPE, "查看位移状态\n查看位移状态"},
        {ID_INFLUENCE_LINE, "查看影响线\n查看影响线"},
        {ID_PREVIOUS, "显示前一个位移状态、影响线或主振型\n显示前一个"},
        {ID_NEXT, "显示后一个位移状态、影响线或主振型\n显示后一个"},
        {ID_MODE_SHAPE, "查看各阶主振型\n主振型"},
        {ID_GRAPH_SELECTOR, "选择要看的图形\n图形"},
        {ID_LIVE_LOAD_SELECTOR, "选择要加的活载\n活载"},
        {ID_ELEMENT_GROUP, "选择显示哪些单元的内力图\n选择单元组"},
        {ID_ELEMENT_NUMBERS, "显示或隐藏单元号"},
        {ID_NODE_NUMBERS, "显示或隐藏节点号"},
        {ID_CONSTRAINTS, "显示或隐藏约束状态"},
        {ID_WINDOW_ZOOM, "选择窗口进行放大\n窗选放大"},
        {ID_ZOOM, "无级缩放图形界面\n无级缩放"},
        {ID_PAN, "移动图形画面\n移动图形"},
        {ID_INITIAL_WINDOW, "第一个图形窗口\n原始窗口"},
        {ID_INFLUENCE_OUTPUT, "影响线输出"},
        {ID_SECTIONS, "显示或隐藏截面形状"},
        {ID_DYNAMIC_RESPONSE, "动力响应分析"},
        {ID_DYNAMIC_DATA, "动力响应数据"},
        {ID_CANCEL_RUN, "停止正在进行的动力计算\n取消"},
        {ID_ENGINEERING_UNITS, "图上的数值用kN、kN·m、mm表示（不选：N、N·m、m）\n工程单位"},
        {ID_ANIMATE, "播放或暂停振型、动力响应的动画\n播放/暂停"},
        {ID_DYNAMIC_LOAD_EDIT, "编辑动力荷载以便进行动力计算"},
        {ID_COMBINATION, "按组合文件计算各荷载组合的内力包络\n荷载组合"},
        {ID_HOMEPAGE, "启动IE浏览器，访问Morvex主页："},
        {ID_EXPORT_REPORT, "把模型、各工况结果及图形写成PDF计算书\n导出计算书"},
        {ID_EXPORT_EXCEL, "把模型及结果表格写入Excel工作簿\n导出到Excel"},
        {ID_EXPORT_DXF, "把当前图形按实际尺寸写成DXF图纸\n导出DXF"},
    };
    return table;
}

}  // namespace

QString CommandString(int id) {
    // The about command prompts with the about box's credit line.
    if (id == ID_APP_ABOUT) return CreditLine() + QStringLiteral("\n关于");
    const auto& table = StringTable();
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + 16) id = ID_FILE_MRU_FILE1;
    const auto it = table.find(id);
    if (it == table.end()) return QString();
    QString text = QString::fromUtf8(it->second);
    // The homepage prompt names the address it opens.
    if (id == ID_HOMEPAGE) text += QString::fromUtf8(kHomepageUrl);
    return text;
}

QString CommandPrompt(int id) {
    return CommandString(id).section(QLatin1Char('\n'), 0, 0);
}

QString CommandToolTip(int id) {
    return CommandString(id).section(QLatin1Char('\n'), 1);
}
