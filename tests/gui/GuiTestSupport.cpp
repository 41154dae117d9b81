// SPDX-License-Identifier: MIT
#include "GuiTestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <memory>

#include "MainWindow.h"
#include "Program.h"
#include "SettingsDialog.h"
#include "text/Cp1251.h"

namespace varnow::test {

QPushButton* ButtonCutOff(QWidget* window) {
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    for (QWidget* above = button->parentWidget(); above != nullptr; above = above->parentWidget()) {
      if (auto* area = qobject_cast<QScrollArea*>(above)) {
        area->ensureWidgetVisible(button);
        QCoreApplication::processEvents();
        break;
      }
    }
    if (button->isVisible() && button->window() == window &&
        !window->rect().contains(QRect(button->mapTo(window, QPoint(0, 0)), button->size()))) {
      return button;
    }
  }
  return nullptr;
}

std::unique_ptr<Program> ProgramOnASite(const QString& folder, RecordedMessages& messages) {
  const QString site = folder + "/site";
  WriteFile(site + "/index.htm", "<p>a<span>b</span>c</p>");
  messages = {};
  auto program = std::make_unique<Program>((folder + "/varnow.ini").toStdString(), messages.Sink());
  Find<QLineEdit>(&program->Options(), "outputFolderField")->setText(folder + "/out");
  Find<QPushButton>(&program->Options(), "okButton")->click();
  Find<QLineEdit>(&program->Window(), "folderField")->setText(site);
  return program;
}

bool RunEnds(MainWindow& window) {
  return QTest::qWaitFor([&window] { return !window.Running(); }, 30000);
}

bool ViewersShown(MainWindow& window) {
  return QTest::qWaitFor([&window] { return window.ViewersPreparing() == 0; }, 30000);
}

UserMessages RecordedMessages::Sink() {
  return {[this](QWidget*, const QString& message) { errors << message; },
          [this](QWidget*, const QString& message) { hints << message; },
          [this](QWidget*, const QString& message, const QString& action) {
            offers << message + " | " + action;
            return acceptOffers;
          },
          [this](QWidget*, const QString& message, const QString& action) {
            questions << message + " | " + action;
            return acceptOffers;
          }};
}

void WhenModalShown(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer(qApp);
  const QDeadlineTimer deadline(10'000);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && !deadline.hasExpired()) {
      return;
    }
    timer->stop();
    timer->deleteLater();
    if (modal == nullptr) {
      qWarning("no modal window was shown");
      return;
    }
    answer(modal);
  });
  timer->start(5);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteSettings(const QString& path, const QString& text) {
  const std::optional<std::string> bytes = Utf8ToCp1251Exact(text.toStdString());
  if (!bytes) {
    qFatal("not a cp1251 text: %s", qPrintable(text));
  }
  WriteFile(path, QByteArray::fromStdString(*bytes));
}

QString SettingsText(const QString& path) {
  const QByteArray bytes = ReadFile(path);
  return QString::fromStdString(Cp1251ToUtf8(std::string_view(bytes.constData(), bytes.size())));
}

QStringList SectionLines(const QString& path, const QString& section) {
  QStringList lines;
  bool inSection = false;
  for (QString line : SettingsText(path).split(QLatin1Char('\n'))) {
    if (line.endsWith(QLatin1Char('\r'))) {
      line.chop(1);
    }
    if (line.startsWith(QLatin1Char('['))) {
      inSection =
          line.compare(QLatin1Char('[') + section + QLatin1Char(']'), Qt::CaseInsensitive) == 0;
    } else if (inSection && !line.isEmpty()) {
      lines << line;
    }
  }
  return lines;
}

}  // namespace varnow::test
