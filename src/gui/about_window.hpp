#pragma once
// VrsionF: the about window. Created hidden; the Help, About command calls
// ShowAbout (one window however often); " &Ok" hides it. It centres itself on
// every resize, so it always opens centred. Escape hides it too.

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace quarnex {

class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);

    void ShowAbout();

    QLabel& VersionLabel() { return *version_; }
    QLabel& DateLabel() { return *date_; }
    QLabel& VersionNumberLabel() { return *number_; }
    QPushButton& OkButton() { return *ok_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Centre();

    QLabel* version_ = nullptr;
    QLabel* date_ = nullptr;
    QLabel* number_ = nullptr;  // the release, under its date
    QLabel* picture_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace quarnex
