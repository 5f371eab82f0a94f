#include "device/DovraDeviceTypes.h"

namespace dovra {

const char* NameOf(TDovraDeviceType v) {
  switch (v) {
    case dtFile: return "dtFile";
    case dtSerial: return "dtSerial";
    case dtParallel: return "dtParallel";
    case dtTCP: return "dtTCP";
    case dtRawPrinter: return "dtRawPrinter";
    case dtHook: return "dtHook";
  }
  return "?";
}

const char* NameOf(TDovraSerialParity v) {
  switch (v) {
    case pNone: return "pNone";
    case pOdd: return "pOdd";
    case pEven: return "pEven";
    case pMark: return "pMark";
    case pSpace: return "pSpace";
  }
  return "?";
}

const char* NameOf(TDovraSerialStop v) {
  switch (v) {
    case s1: return "s1";
    case s1eMeio: return "s1eMeio";
    case s2: return "s2";
  }
  return "?";
}

const char* NameOf(TDovraHandShake v) {
  switch (v) {
    case hsNenhum: return "hsNenhum";
    case hsXON_XOFF: return "hsXON_XOFF";
    case hsRTS_CTS: return "hsRTS_CTS";
    case hsDTR_DSR: return "hsDTR_DSR";
  }
  return "?";
}

}  // namespace dovra
