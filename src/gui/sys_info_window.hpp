#pragma once
// SysInfoF: "Current System Information". The facts are queried and printed on
// every paint; "&Ok" closes the window, and showing it again centres it anew.

#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

#include "commands/system_facts.hpp"

namespace quarnex {

class SysInfoWindow : public QWidget {
    Q_OBJECT
  public:
    // facts must outlive the window.
    explicit SysInfoWindow(const SystemFactSource& facts, QWidget* parent = nullptr);

    // The Help, System command: centred when it was closed, then shown.
    void ShowSysInfo();

    QPushButton& OkButton() { return *ok_; }
    // What the last paint printed, one entry per printed line (12: two empty
    // lines, then the ten facts as print-zone text).
    const std::vector<std::string>& PrintedLines() const { return printed_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const SystemFactSource& facts_;
    QPushButton* ok_ = nullptr;
    std::vector<std::string> printed_;
};

}  // namespace quarnex
