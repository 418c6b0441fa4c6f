#include "TaskbarHint.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace twl::qt {

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  if (!reply) return XCB_ATOM_NONE;
  xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace

void KeepOffTaskList(QWindow* window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;
  xcb_connection_t* connection = x11->connection();
  auto id = static_cast<xcb_window_t>(window->winId());
  xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
  std::vector<xcb_atom_t> states;
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(connection, xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr);
  if (reply) {
    auto* atoms = static_cast<xcb_atom_t*>(xcb_get_property_value(reply));
    states.assign(atoms, atoms + xcb_get_property_value_length(reply) / sizeof(xcb_atom_t));
    std::free(reply);
  }
  for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
    xcb_atom_t atom = Atom(connection, name);
    if (atom != XCB_ATOM_NONE && std::find(states.begin(), states.end(), atom) == states.end()) states.push_back(atom);
  }
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                      static_cast<uint32_t>(states.size()), states.data());
  xcb_flush(connection);
}

}  // namespace twl::qt
