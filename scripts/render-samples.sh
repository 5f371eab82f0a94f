#!/usr/bin/env bash
# Prints the configurator's barcode test ("Tags de Codigo de Barras") through dovrapos on the
# virtual printer of two models and keeps the pictures the printer draws:
# docs/recibo-escposepson.png and docs/recibo-daruma.png (Daruma printers draw Standard 2 of 5
# and Code 11 as bars too; ESC/POS printers print their digits).
# Usage: scripts/render-samples.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
out=${2:-docs}
emulator="$build/emulator/pdv-impressora-virtual"
dovrapos="$build/cli/dovrapos"
for program in "$emulator" "$dovrapos"; do
  if [ ! -x "$program" ]; then
    echo "$program não foi encontrado; construa-o primeiro (make build)." >&2
    exit 1
  fi
done
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The barcode test as the configurator writes it into its memo.
cat > "$work/barras.txt" <<'TEXT'
</zera>
</ce>
</linha_dupla>
EAN 8: 1234567
<ean8>1234567</ean8>
</Linha_Simples>
EAN13: 123456789012
<ean13>123456789012</ean13>
</Linha_Simples>
std25: 1234567890
<std>1234567890</std>
</Linha_Simples>
INT25: 1234567890
<inter>1234567890</inter>
</Linha_Simples>
CODE11: 1234567890
<code11>1234567890</code11>
</Linha_Simples>
CODE39: ABCDE12345
<code39>ABCDE12345</code39>
</Linha_Simples>
CODE93: ABC123abc
<code93>ABC123abc</code93>
</Linha_Simples>
CODE128: $-=+ABC123abc
<code128>$-=+ABC123abc</code128>
</Linha_Simples>
UPCA: 12345678901
<upca>12345678901</upca>
</Linha_Simples>
CODABAR: A123456789012345A
<codabar>A123456789012345A</codabar>
</Linha_Simples>
MSI: 1234567890
<msi>1234567890</msi>
</corte_total>
TEXT
# The numbers printed under the bars.
printf '[Barras]\nHRI=1\n' > "$work/Pdv.ini"

# render MODELO NAME: one receipt on a fresh virtual printer of MODELO, kept as recibo-NAME.png.
render() {
  local modelo=$1 name=$2 line porta="" picture=""
  coproc PRINTER { exec "$emulator" --modelo "$modelo" --porta TCP:127.0.0.1:0 --saida "$work/$name"; }
  local pid=$PRINTER_PID
  if read -r -t 10 line <&"${PRINTER[0]}" && [[ $line == "porta: "* ]]; then porta=${line#porta: }; fi
  if [ -z "$porta" ]; then
    kill "$pid" 2>/dev/null || true
    echo "pdv-impressora-virtual não anunciou a porta" >&2
    return 1
  fi
  "$dovrapos" imprimir --config "$work/Pdv.ini" --modelo "$modelo" --porta "$porta" \
    --linhas-pular 0 --cortar-papel 1 "$work/barras.txt"
  while read -r -t 10 line <&"${PRINTER[0]}"; do
    if [[ $line == "imagem 1: "* ]]; then picture=${line#imagem 1: }; break; fi
  done
  echo sair >&"${PRINTER[1]}"
  wait "$pid" || true
  if [ -z "$picture" ]; then
    echo "nenhuma imagem de $modelo (pdv-impressora-virtual sem o desenho de cupons: Qt 6 GUI e zint)" >&2
    return 1
  fi
  cp "$picture" "$out/recibo-$name.png"
  echo "$out/recibo-$name.png"
}

render ppEscPosEpson escposepson
render ppEscDaruma daruma
