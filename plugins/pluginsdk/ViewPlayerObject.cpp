#include "plugins/pluginsdk/ViewPlayerObject.h"

#include "plugins/pluginsdk/HostErrors.h"

namespace pluginsdk {
namespace {

constexpr DWORD kSetVisible = 0;
constexpr DWORD kDrawFullScreen = 50;
constexpr DWORD kDrawWindow = 100;
constexpr DWORD kShowView = 200;
constexpr DWORD kPlayerModeFullScreen = 1;
constexpr DWORD kShowErrorCategory = 0x100;

}  // namespace

ViewPlayerObject::ViewPlayerObject(bool& constructed, const char* name, const char* id, const char* description,
                                   const PlugInVersionInfo* version)
    : PlayerObject(constructed, name, id, description, version),
      m_Owner(*this),
      m_WindowView(Host()),
      m_FullScreenView(Host()) {}

ViewPlayerObject::~ViewPlayerObject() {
  // A closed view has nothing of the host's to give back; the host may be
  // gone by now when nothing was shown.
  if (m_WindowView.GetState() != VIEW_CLOSED) m_WindowView.Hide();
  if (m_FullScreenView.GetState() != VIEW_CLOSED) m_FullScreenView.Hide();
}

bool ViewPlayerObject::Init(PLUGIN_HANDLE caller) {
  if (!PlugInObject::Init(caller)) return false;
  m_WindowView.Attach(&m_Owner, caller);
  m_FullScreenView.Attach(&m_Owner, caller);
  return true;
}

bool ViewPlayerObject::Exit() {
  m_WindowView.Detach();
  m_FullScreenView.Detach();
  return true;
}

bool ViewPlayerObject::RestoreSurfaces() {
  ShowView();
  return true;
}

bool ViewPlayerObject::IsShown(int32_t mode, PlayerView& view) {
  return m_Mode == mode && view.GetState() == VIEW_SHOWN;
}

bool ViewPlayerObject::Command(DWORD event, uintptr_t argument, uintptr_t data) {
  const RECT* update = reinterpret_cast<const RECT*>(argument);
  switch (event) {
    case kSetVisible:
      SetViewVisible(argument != 0);
      break;
    case kDrawFullScreen:
      if (IsShown(VIEWMODE_FULLSCREEN, m_FullScreenView)) return DrawFullScreenView(update);
      break;
    case kDrawWindow:
      if (IsShown(VIEWMODE_WINDOW, m_WindowView)) return DrawWindowView(update);
      break;
    case kShowView:
      ShowView();
      break;
    default:
      break;
  }
  m_WindowView.OnCommand(event, argument, data);
  m_FullScreenView.OnCommand(event, argument, data);
  PlayerObject::Command(event, argument, data);
  return true;
}

bool ViewPlayerObject::SupportsWindowView() { return false; }
bool ViewPlayerObject::SupportsFullScreenView() { return false; }

void ViewPlayerObject::SelectView(int32_t mode) {
  if (mode == VIEWMODE_WINDOW) {
    m_Selected = &m_WindowView;
  } else if (mode == VIEWMODE_FULLSCREEN) {
    m_Selected = &m_FullScreenView;
  } else {
    mode = VIEWMODE_NONE;
    m_Selected = nullptr;
  }
  m_Mode = mode;
  HideInactiveViews();
}

void ViewPlayerObject::OnViewRequestDone(bool success) {
  if (success) {
    m_ViewWanted = true;
    OnShowViewDone(true);
    return;
  }
  // A failed full-screen request does not fall back to the window view.
  SelectView(VIEWMODE_NONE);
  OnShowViewDone(false);
}

void ViewPlayerObject::SetViewVisible(bool on) {
  if (on == m_ViewWanted) return;
  m_ViewWanted = on;
  if (on)
    ShowView();
  else
    HideView();
}

void ViewPlayerObject::LogShowError() {
  if (Host().HOST_GetMiscErrorCode() != HOST_MISC_ACCESS_DENIED) LogError(kShowErrorCategory, "Error showing view.");
}

void ViewPlayerObject::ShowView() {
  m_FullScreenSupported = SupportsFullScreenView();
  m_WindowSupported = SupportsWindowView();
  if (m_FullScreenSupported && HostViewerSlots(Host()).GetPlayerMode() == kPlayerModeFullScreen &&
      m_FullScreenView.Show()) {
    SelectView(VIEWMODE_FULLSCREEN);
    return;
  }
  if (m_WindowSupported) {
    if (m_WindowView.Show()) {
      SelectView(VIEWMODE_WINDOW);
      return;
    }
    LogShowError();
  }
  SelectView(VIEWMODE_NONE);
}

void ViewPlayerObject::HideView() { SelectView(VIEWMODE_NONE); }

void ViewPlayerObject::HideInactiveViews() {
  if (m_Mode != VIEWMODE_WINDOW) m_WindowView.Hide();
  if (m_Mode != VIEWMODE_FULLSCREEN) m_FullScreenView.Hide();
}

void ViewPlayerObject::OnShowViewDone(bool success) {
  if (!success) {
    LogShowError();
    SelectView(VIEWMODE_NONE);
  }
  HideInactiveViews();
  if (success) Draw(nullptr);
}

bool ViewPlayerObject::Draw(const RECT* update) {
  if (m_Mode == VIEWMODE_NONE || !m_Selected) return true;
  if (m_Selected->GetState() != VIEW_SHOWN) return true;
  return m_Mode == VIEWMODE_WINDOW ? DrawWindowView(update) : DrawFullScreenView(update);
}

bool ViewPlayerObject::DrawWindowView(const RECT* update) {
  const HostViewerSlots viewer(Host());
  HOST_DRAWTARGET target = nullptr;
  if (!viewer.BeginDraw(&target, GetCaller())) return false;
  const bool drawn = PaintBackground(target, update) && DrawWindowContent(target, update);
  if (drawn) {
    viewer.EndDraw(update, GetCaller());
    return true;
  }
  // The error of the drawing code, not whatever ending the draw sets.
  KeepingThreadError(Host(), [&] { viewer.EndDraw(update, GetCaller()); });
  return false;
}

bool ViewPlayerObject::PaintBackground(HOST_DRAWTARGET target, const RECT* update) {
  const HostViewerSlots viewer(Host());
  if (!update) return viewer.PaintBackground(target, 0, 0, nullptr) != FALSE;
  return viewer.PaintBackground(target, update->left, update->top, update) != FALSE;
}

bool ViewPlayerObject::DrawWindowContent(HOST_DRAWTARGET, const RECT*) { return true; }

bool ViewPlayerObject::DrawFullScreenView(const RECT* update) {
  IDirectDrawSurface2* surface = nullptr;
  if (!Host().HOST_GetPrimarySurface(&surface)) return false;
  if (DrawFullScreenContent(surface, update)) {
    Host().HOST_ReleasePrimarySurface();
    return true;
  }
  KeepingThreadError(Host(), [&] { Host().HOST_ReleasePrimarySurface(); });
  return false;
}

bool ViewPlayerObject::DrawFullScreenContent(IDirectDrawSurface2*, const RECT*) { return true; }

void ViewPlayerObject::Owner::OnViewStateChanged(PlayerView& view, DWORD oldState, DWORD newState) {
  if (&view == m_Player.m_Selected && oldState == VIEW_SHOWN && newState == VIEW_CLOSED)
    m_Player.SelectView(VIEWMODE_NONE);
}

void ViewPlayerObject::Owner::OnViewRequestDone(PlayerView& view, bool success) {
  // Answers of a view that is no longer selected are dropped.
  if (&view == m_Player.m_Selected) m_Player.OnViewRequestDone(success);
}

}  // namespace pluginsdk
