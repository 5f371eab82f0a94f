#include "cli/Options.h"

namespace dovra::cli {
namespace {

constexpr const char* kPrinterOptions =
    "Opções da impressora (aplicadas nesta ordem, qualquer que seja a ordem na linha de comando,\n"
    "sobre os valores iniciais do componente):\n"
    "  --config ARQ              carrega as configurações de um arquivo Pdv.ini\n"
    "  --modelo M                modelo, pelo nome (ppTexto, ppEscPosEpson, ppEscBematech,\n"
    "                            ppEscDaruma, ppEscVox, ppEscDiebold, ppEscEpsonP2) ou número (0 a 6)\n"
    "  --pagina-codigo P         página de código, pelo nome (pcNone, pc437, pc850, pc852, pc860,\n"
    "                            pcUTF8, pc1252) ou número (0 a 6)\n"
    "  --porta P                 porta: COM1, LPT1, /dev/ttyUSB0, TCP:host[:porta], RAW:impressora,\n"
    "                            FILE:arquivo, ...\n"
    "  --colunas N               colunas na fonte normal (1 a 999)\n"
    "  --espaco-entre-linhas N   espaço entre linhas (0 a 255; 0 = padrão da impressora)\n"
    "  --linhas-pular N          linhas entre cupons (0 a 255)\n"
    "  --linhas-buffer N         linhas guardadas antes de imprimir (0 a 255)\n"
    "  --cortar-papel 0|1        corta o papel nas tags de corte\n"
    "  --controle-porta 0|1      abre e fecha a porta a cada envio\n"
    "  --traduzir-tags 0|1       traduz as tags do texto\n"
    "  --ignorar-tags 0|1        remove as tags reconhecidas em vez de traduzi-las\n"
    "  --log ARQ                 arquivo de log da impressora\n"
    "  --copias N                número de cópias (1 a 999)\n"
    "  --serial \"PARÂMETROS\"     parâmetros da porta serial, por exemplo \"BAUD=19200 PARITY=E\"\n";

constexpr const char* kExitCodes =
    "Saída: 0 em caso de sucesso, 1 para erro da impressora ou da porta, 2 para erro de uso.\n";

}  // namespace

std::string UsageLine(Command command) {
  switch (command) {
    case Command::Imprimir: return "Uso: dovrapos imprimir [OPÇÕES] [ARQUIVO]";
    case Command::Traduzir: return "Uso: dovrapos traduzir [OPÇÕES] [ARQUIVO] [-o SAÍDA]";
    case Command::Tags: return "Uso: dovrapos tags";
    case Command::Status: return "Uso: dovrapos status [OPÇÕES] [--tentativas N]";
    case Command::Info: return "Uso: dovrapos info [OPÇÕES]";
    case Command::Portas: return "Uso: dovrapos portas";
    case Command::None: break;
  }
  return "Uso: dovrapos COMANDO [OPÇÕES] [ARGUMENTOS]   (dovrapos --help para ajuda)";
}

std::string HelpText(Command command) {
  std::string text = UsageLine(command) + "\n\n";
  switch (command) {
    case Command::Imprimir:
      text +=
          "Ativa a impressora, imprime o texto com tags do ARQUIVO (ou da entrada padrão, quando\n"
          "ARQUIVO é \"-\" ou não é informado) e desativa a impressora. O texto está em UTF-8; uma\n"
          "quebra de linha no fim do texto é descartada.\n\n";
      text += kPrinterOptions;
      break;
    case Command::Traduzir:
      text +=
          "Mostra os bytes que \"imprimir\" enviaria a uma impressora recém-ativada numa porta de\n"
          "arquivo, com o comando de inicialização, sem abrir nenhuma porta (a opção --porta não\n"
          "tem efeito). O texto vem do ARQUIVO ou da entrada padrão.\n\n"
          "  -o SAÍDA                  grava os bytes em SAÍDA em vez da saída padrão\n\n";
      text += kPrinterOptions;
      break;
    case Command::Tags:
      text += "Lista as tags válidas, uma por linha, com a ajuda de cada uma.\n";
      break;
    case Command::Status:
      text +=
          "Lê o status da impressora e mostra os indicadores encontrados, cada um seguido de\n"
          "\", \", ou \"Nennhum Erro encontrado\".\n\n"
          "  --tentativas N            número de leituras enquanto houver erro de leitura (1 a 100)\n\n";
      text += kPrinterOptions;
      break;
    case Command::Info:
      text += "Lê a identificação da impressora (portas seriais, TCP ou DLL/USB).\n\n";
      text += kPrinterOptions;
      break;
    case Command::Portas:
      text +=
          "Lista as portas que o configurador oferece: as portas seriais encontradas, as portas\n"
          "fixas e \"RAW:\" seguido do nome de cada impressora do spooler.\n";
      break;
    case Command::None:
      text +=
          "Impressão de cupons em impressoras de PDV.\n\n"
          "Comandos:\n"
          "  imprimir   imprime um texto com tags na impressora\n"
          "  traduzir   mostra os bytes que seriam enviados à impressora, sem usar a porta\n"
          "  tags       lista as tags válidas com a ajuda de cada uma\n"
          "  status     lê o status da impressora\n"
          "  info       lê a identificação da impressora\n"
          "  portas     lista as portas disponíveis\n\n"
          "Use \"dovrapos COMANDO --help\" para ver as opções de cada comando.\n";
      break;
  }
  text += "\n";
  text += kExitCodes;
  return text;
}

}  // namespace dovra::cli
