#pragma once
// The trace client's connection to the "Vardelin.DebugWindow" service on the D-Bus session bus.

#include "browser/support/L1DebugWindow.h"

// Service name, object path "/" and interface name of the trace service.
extern const char kDebugWindowService[];

// Connects when a session bus is there and the service is registered; else nullptr.
std::unique_ptr<IDebugWindow> ConnectDebugWindowService();

// Installs ConnectDebugWindowService as the trace client's factory.
void UseDebugWindowService();
