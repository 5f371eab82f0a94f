#pragma once
#include <algorithm>
#include <cstdint>

#include "engine/DovraPosTypes.h"

namespace dovra {

// Barcode settings: human-readable text under the bars, bar width and height (0 = default).
class TDovraECFConfigBarras {
 public:
  bool MostrarCodigo() const { return mostrarCodigo_; }
  void SetMostrarCodigo(bool v) { mostrarCodigo_ = v; }
  int LarguraLinha() const { return larguraLinha_; }
  void SetLarguraLinha(int v) { larguraLinha_ = v; }
  int Altura() const { return altura_; }
  void SetAltura(int v) { altura_ = v; }
  int Margem() const { return margem_; }
  void SetMargem(int v) { margem_ = v; }

 private:
  bool mostrarCodigo_ = false;
  int larguraLinha_ = 0;
  int altura_ = 0;
  int margem_ = 0;
};

// QR code settings; every write is clamped to its range.
class TDovraConfigQRCode {
 public:
  int Tipo() const { return tipo_; }
  void SetTipo(int v) { tipo_ = std::clamp(v, 1, 2); }
  int LarguraModulo() const { return larguraModulo_; }
  void SetLarguraModulo(int v) { larguraModulo_ = std::clamp(v, 1, 16); }
  int ErrorLevel() const { return errorLevel_; }
  void SetErrorLevel(int v) { errorLevel_ = std::clamp(v, 0, 3); }

 private:
  int tipo_ = 2;
  int larguraModulo_ = 4;
  int errorLevel_ = 0;
};

// The logo stored in the printer: whether to print it, its two key codes and magnification.
class TDovraConfigLogo {
 public:
  bool IgnorarLogo() const { return ignorarLogo_; }
  void SetIgnorarLogo(bool v) { ignorarLogo_ = v; }
  std::uint8_t KeyCode1() const { return keyCode1_; }
  void SetKeyCode1(std::uint8_t v) { keyCode1_ = v; }
  std::uint8_t KeyCode2() const { return keyCode2_; }
  void SetKeyCode2(std::uint8_t v) { keyCode2_ = v; }
  std::uint8_t FatorX() const { return fatorX_; }
  void SetFatorX(std::uint8_t v) { fatorX_ = v; }
  std::uint8_t FatorY() const { return fatorY_; }
  void SetFatorY(std::uint8_t v) { fatorY_ = v; }

 private:
  bool ignorarLogo_ = false;
  std::uint8_t keyCode1_ = 32;
  std::uint8_t keyCode2_ = 32;
  std::uint8_t fatorX_ = 1;
  std::uint8_t fatorY_ = 1;
};

// Cash drawer: inverted sensor and pulse times.
class TDovraConfigGaveta {
 public:
  bool SinalInvertido() const { return sinalInvertido_; }
  void SetSinalInvertido(bool v) { sinalInvertido_ = v; }
  std::uint8_t TempoON() const { return tempoOn_; }
  void SetTempoON(std::uint8_t v) { tempoOn_ = v; }
  std::uint8_t TempoOFF() const { return tempoOff_; }
  void SetTempoOFF(std::uint8_t v) { tempoOff_ = v; }

 private:
  bool sinalInvertido_ = false;
  std::uint8_t tempoOn_ = 50;
  std::uint8_t tempoOff_ = 200;
};

// Page-mode region (size and origin), print direction and line spacing.
class TDovraConfigModoPagina {
 public:
  int Largura() const { return largura_; }
  void SetLargura(int v) { largura_ = v; }
  int Altura() const { return altura_; }
  void SetAltura(int v) { altura_ = v; }
  int Esquerda() const { return esquerda_; }
  void SetEsquerda(int v) { esquerda_ = v; }
  int Topo() const { return topo_; }
  void SetTopo(int v) { topo_ = v; }
  TDovraPosDirecao Direcao() const { return direcao_; }
  void SetDirecao(TDovraPosDirecao v) { direcao_ = v; }
  std::uint8_t EspacoEntreLinhas() const { return espacoEntreLinhas_; }
  void SetEspacoEntreLinhas(std::uint8_t v) { espacoEntreLinhas_ = v; }

 private:
  int largura_ = 0;
  int altura_ = 0;
  int esquerda_ = 0;
  int topo_ = 0;
  TDovraPosDirecao direcao_ = dirEsquerdaParaDireita;
  std::uint8_t espacoEntreLinhas_ = 0;
};

}  // namespace dovra
