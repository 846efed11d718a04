#ifndef SETTINGSHELPVIEW_H
#define SETTINGSHELPVIEW_H

#include <QWidget>

class ContentTextBrowser;

// The "Pomoc" section: how the briefcase, the settings and the social services work.
class SettingsHelpView : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsHelpView(QWidget* parent);

    QSize sizeHint() const override;
    static QString helpText();

signals:
    void contentSizeChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    ContentTextBrowser* textBrowser;
    int lastWidth;
};

#endif // SETTINGSHELPVIEW_H
