// The one window of the system: an append-only log, a way to handle pending
// requests from inside a long computation, a close request that a handler
// may refuse, and a modal message box.
#pragma once

#include <functional>
#include <string>

namespace platform {

class TWindow {
 public:
  virtual ~TWindow() = default;

  // Adds text at the end of the log; line breaks in it start new lines.
  // The text is in CP932.
  virtual void AddText(const std::string& text) = 0;

  // Handles what is pending. Each pending close request is handed to the
  // close-query handler; when the handler grants it, the window closes.
  virtual void ProcessMessages() = 0;

  // Shows a message and returns once the user has seen it. CP932 text.
  virtual void ShowMessage(const std::string& text) = 0;

  // The handler asked on every close request; it returns whether the close
  // is granted.
  void SetCloseQuery(std::function<bool()> handler) { closeQuery_ = std::move(handler); }

 protected:
  // Asks the handler about one close request and closes when it grants it
  // (or when there is no handler).
  void DeliverCloseRequest() {
    if (!closeQuery_ || closeQuery_()) {
      Close();
    }
  }

  virtual void Close() = 0;

 private:
  std::function<bool()> closeQuery_;
};

}  // namespace platform
