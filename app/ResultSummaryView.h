// A plain view of a result document that lists the model's counts.
#pragma once

#include <QWidget>

class CMorvexDoc;

// Stands in for the graphical result view: names the files and counts of the analysed model.
class CResultSummaryView : public QWidget {
    Q_OBJECT
public:
    explicit CResultSummaryView(CMorvexDoc* doc, QWidget* parent = nullptr);
    CMorvexDoc* Document() const { return m_doc; }
    // The lines the view shows.
    QStringList Lines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CMorvexDoc* m_doc;
};
