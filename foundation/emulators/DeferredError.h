// DeferredError: the first failure of a clean-up that goes on after it.
// Closing a chain of streams must release everything even when one step
// fails; the first error is reported once all is done, later ones are
// disposed of. One thread.
#pragma once

#include <utility>

#include "foundation/kernel/Error.h"

class DeferredError {
 public:
  DeferredError() = default;
  DeferredError(const DeferredError&) = delete;
  DeferredError& operator=(const DeferredError&) = delete;
  ~DeferredError() {
    if (m_Error) DisposeError(m_Error);
  }

  // Runs one clean-up step, keeping its error.
  template <class Step>
  void Run(Step&& step) {
    try {
      step();
    } catch (CError* error) {
      Keep(error);
    }
  }
  void Keep(CError* error) {
    if (m_Error)
      DisposeError(error);
    else
      m_Error = error;
  }
  // Closes `stream` as one step: a CloseNoThrow closes with CloseNoThrow,
  // a Close with Close, so that the caller's choice reaches the stream.
  template <class Closable>
  void Close(Closable& stream, bool noThrow) {
    Run([&stream, noThrow] {
      if (noThrow)
        stream.CloseNoThrow();
      else
        stream.Close();
    });
  }
  // The kept error for the caller to throw (null when none).
  CError* Take() { return std::exchange(m_Error, nullptr); }
  // The same at the end of a close: a CloseNoThrow (`noThrow`) disposes of
  // the kept error and gets null.
  CError* Take(bool noThrow) {
    CError* error = Take();
    if (error && noThrow) {
      DisposeError(error);
      error = nullptr;
    }
    return error;
  }

 private:
  CError* m_Error = nullptr;
};
