#pragma once
// Small stand-ins for toolkit tests: a log of what happened, a listener that
// records idle calls and presses, and a screen that records its draws,
// touches and keys and answers them as a test says.

#include <functional>
#include <string>
#include <vector>

#include "ui/event_loop.h"
#include "ui/screen.h"
#include "ui/widget.h"

using CEventLog = std::vector<std::string>;

class CRecordingListener final : public CUIEventLoop::MUIEventLoopEvents, public MUIWidget::MUIWidgetEvents {
 public:
  explicit CRecordingListener(CEventLog& log) : iLog(log) {}

  void OnIdle(CUIEventLoop* loop) override {
    iLog.push_back("idle");
    if (onIdle) onIdle(loop);
  }
  void FiredPressEvent(MUIWidget* source) override {
    iLog.push_back("fired " + std::to_string(source->iTag));
    if (onFired) onFired(source);
  }

  std::function<void(CUIEventLoop*)> onIdle;
  std::function<void(MUIWidget*)> onFired;

 private:
  CEventLog& iLog;
};

class CTestScreen final : public CUIScreen {
 public:
  CTestScreen(CEventLog& log, const std::string& name, int32_t schemeIndex = 2)
      : CUIScreen(schemeIndex), iLog(log), iName(name) {}

  void Draw() override {
    iLog.push_back(iName + " draw");
    if (paints) CUIScreen::Draw();
  }
  bool OnTouch(InputEvent& event) override {
    iLog.push_back(iName + " touch " + std::to_string(event.x) + "," + std::to_string(event.y) + "," +
                   std::to_string(event.pressure));
    if (onTouch) onTouch(event);
    return touchResult;
  }
  bool OnKey(int32_t& key) override {
    iLog.push_back(iName + " key " + std::to_string(key));
    if (onKey) onKey(key);
    return keyResult;
  }

  bool touchResult = true;
  bool keyResult = true;
  bool paints = false;  // also paint the background and children
  std::function<void(InputEvent&)> onTouch;
  std::function<void(int32_t&)> onKey;

 private:
  CEventLog& iLog;
  std::string iName;
};
