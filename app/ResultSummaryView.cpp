#include "app/ResultSummaryView.h"

#include <QPainter>

#include "app/MorvexDoc.h"

CResultSummaryView::CResultSummaryView(CMorvexDoc* doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(200, 120);
}

QStringList CResultSummaryView::Lines() const {
    QStringList lines;
    const CPlaneFrame* f = m_doc->Engine();
    lines << QStringLiteral("数据文件：%1").arg(m_doc->PathName());
    lines << QStringLiteral("结果文件：%1.out").arg(m_doc->PathBase());
    if (!f) return lines;
    lines << QString();
    lines << QStringLiteral("节点数：%1    单元数：%2    从节点数：%3")
                 .arg(f->m_nNodes)
                 .arg(f->m_nElements)
                 .arg(f->m_nSlaves);
    lines << QStringLiteral("材料数：%1    截面数：%2    约束点数：%3")
                 .arg(f->m_nMaterials)
                 .arg(f->m_nSections)
                 .arg(f->m_nSupports);
    lines << QStringLiteral("工况数：%1    影响线单元数：%2    影响线数：%3")
                 .arg(f->m_nCases)
                 .arg(f->m_nIlElements)
                 .arg(f->m_nIlLines);
    lines << QStringLiteral("方程数：%1    半带宽：%2    约束方程数：%3")
                 .arg(f->m_nDof)
                 .arg(f->m_nBand)
                 .arg(f->m_nConstrainedDofs);
    return lines;
}

void CResultSummaryView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(30, 100, 255));
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    p.setFont(font);
    const int step = p.fontMetrics().lineSpacing() + 4;
    int y = 16 + p.fontMetrics().ascent();
    for (const QString& line : Lines()) {
        p.drawText(16, y, line);
        y += step;
    }
}
