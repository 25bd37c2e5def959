#pragma once
// The system headers the framework builds on, in the order they need. WinSock 2 comes before
// windows.h: the control library that uses the framework also uses sockets, and windows.h would
// otherwise bring in the old WinSock declarations.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <ocidl.h>
#include <olectl.h>
