#include "pluginhost/viewer/ControlWindowHost.h"

#include <atomic>

namespace {

CControlWindowHost g_Windowless;
std::atomic<CControlWindowHost*> g_Host{&g_Windowless};

}  // namespace

void SetControlWindowHost(CControlWindowHost* host) { g_Host.store(host ? host : &g_Windowless); }

CControlWindowHost& GetControlWindowHost() { return *g_Host.load(); }
