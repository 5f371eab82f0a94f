// Device and ports: the device component that deduces a port's kind from its name, opens it,
// writes bytes to it and reads bytes back, over files, parallel, serial, TCP, CUPS and hooks.
#pragma once

#include <functional>
#include <string>

#include "util/DovraErrors.h"

namespace dovra {

enum TDovraDeviceType { dtFile, dtSerial, dtParallel, dtTCP, dtRawPrinter, dtHook };
enum TDovraSerialParity { pNone, pOdd, pEven, pMark, pSpace };
enum TDovraSerialStop { s1, s1eMeio, s2 };
enum TDovraHandShake { hsNenhum, hsXON_XOFF, hsRTS_CTS, hsDTR_DSR };

// Value names as the logs and the window show them ("dtSerial", "pEven", "hsRTS_CTS").
const char* NameOf(TDovraDeviceType v);
const char* NameOf(TDovraSerialParity v);
const char* NameOf(TDovraSerialStop v);
const char* NameOf(TDovraHandShake v);

// Raised by the device itself (its messages are the Portuguese ones users see).
class EDovraDeviceException : public EDovraError {
 public:
  explicit EDovraDeviceException(const std::string& message)
      : EDovraError("EDovraDeviceException", message) {}
};

// What the serial line reports to an OnStatus listener.
enum class TSerialStatusReason { Open, Close, Configure, Purge, Write, Read, Error };
using TSerialStatusEvent =
    std::function<void(TSerialStatusReason reason, const std::string& value)>;

// Hook procedures through which the device's owner implements a "USB..."/"DLL..." port.
using TDovraDeviceHookAtivar = std::function<void(const std::string& aPort, const std::string& params)>;
using TDovraDeviceHookDesativar = std::function<void(const std::string& aPort)>;
using TDovraDeviceHookEnviaString = std::function<void(const std::string& cmd)>;
using TDovraDeviceHookLeString =
    std::function<void(int numBytes, int aTimeOut, std::string& retorno)>;

}  // namespace dovra
