#include "automation/usage.h"

#include <cstdlib>

#include "automation/hidden_run.h"

namespace quillaro {
namespace {

const char* const kWindowRu =
    "Использование: quillaro [ПРОГРАММА.pfp] [ini=НАСТРОЙКИ.ini] [hide=1] [exit=1]\n"
    "\n"
    "Quillaro, редактор отсканированных страниц для печати тетрадей.\n"
    "\n"
    "  ПРОГРАММА.pfp  программа действий, выполняемая после запуска\n"
    "  ini=ФАЙЛ       читать настройки из ФАЙЛА вместо Quillaro.ini\n"
    "  hide=1         выполнить программу действий до показа окна\n"
    "                 (сообщения идут в стандартный поток ошибок, на вопросы\n"
    "                 отвечает кнопка по умолчанию)\n"
    "  exit=1         завершить работу после программы действий\n"
    "  printer=ИМЯ    печатать в этом запуске на принтер ИМЯ (\"PDF\" и \"BMP\" пишут файлы)\n"
    "  copies=N       не спрашивать о печати до N копий (по умолчанию 100)\n"
    "  --open ФАЙЛ    открыть рисунок ФАЙЛ после показа окна\n"
    "  --help         эта справка\n"
    "  --version      версия программы\n"
    "\n"
    "Код завершения: 0 - выполнено; 1 - программы нет или сообщение сообщило об ошибке.\n";

const char* const kWindowEn =
    "Usage: quillaro [PROGRAM.pfp] [ini=SETTINGS.ini] [hide=1] [exit=1]\n"
    "\n"
    "Quillaro, an editor of scanned pages printed as copybooks.\n"
    "\n"
    "  PROGRAM.pfp   an action program to run after start-up\n"
    "  ini=FILE      read the settings from FILE instead of Quillaro.ini\n"
    "  hide=1        run the action program before any window is shown\n"
    "                (messages go to standard error; questions take their default)\n"
    "  exit=1        end after the action program has run\n"
    "  printer=NAME  print to that printer in this run (\"PDF\" and \"BMP\" write files)\n"
    "  copies=N      prints of up to N copies are not asked about (default 100)\n"
    "  --open FILE   open the picture FILE once the window is shown\n"
    "  --help        this text\n"
    "  --version     the version\n"
    "\n"
    "Exit status: 0 done; 1 the program is missing or a message told of a failure.\n";

const char* const kHiddenRu =
    "Использование: quillaro-run ПРОГРАММА.pfp hide=1 [exit=1] [ini=НАСТРОЙКИ.ini] [printer=ИМЯ]\n"
    "\n"
    "Выполняет программу действий Quillaro без окна (не нужны ни экран, ни Qt).\n"
    "\n"
    "  ПРОГРАММА.pfp  программа действий\n"
    "  hide=1         обязателен: программа выполняется, как quillaro с hide=1\n"
    "                 (сообщения идут в стандартный поток ошибок, на вопросы\n"
    "                 отвечает кнопка по умолчанию)\n"
    "  exit=1         допускается; работа всегда завершается после программы\n"
    "  ini=ФАЙЛ       читать настройки из ФАЙЛА вместо Quillaro.ini\n"
    "  printer=ИМЯ    печатать в этом запуске на принтер ИМЯ (\"PDF\" и \"BMP\" пишут файлы)\n"
    "  copies=N       печать до N копий (по умолчанию 100; больше - отказ)\n"
    "  --help         эта справка\n"
    "  --version      версия программы\n"
    "\n"
    "Код завершения: 0 - выполнено; 1 - программы нет, сообщение сообщило об ошибке\n"
    "или командная строка требует окна.\n";

const char* const kHiddenEn =
    "Usage: quillaro-run PROGRAM.pfp hide=1 [exit=1] [ini=SETTINGS.ini] [printer=NAME]\n"
    "\n"
    "Runs a Quillaro action program without a window (no display, no Qt needed).\n"
    "\n"
    "  PROGRAM.pfp   the action program\n"
    "  hide=1        required: the program runs as quillaro runs it with hide=1\n"
    "                (messages go to standard error; questions take their default)\n"
    "  exit=1        accepted; the run always ends after the program\n"
    "  ini=FILE      read the settings from FILE instead of Quillaro.ini\n"
    "  printer=NAME  print to that printer in this run (\"PDF\" and \"BMP\" write files)\n"
    "  copies=N      prints of up to N copies run (default 100; more are refused)\n"
    "  --help        this text\n"
    "  --version     the version\n"
    "\n"
    "Exit status: 0 done, 1 the program is missing, a message told of a failure, or the\n"
    "command line asks for the window.\n";

}  // namespace

bool russianLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang})
    if (value && *value) return value[0] == 'r' && value[1] == 'u';
  return false;
}

bool russianLocale() {
  return russianLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string usageText(ProgramKind kind, bool russian) {
  if (kind == ProgramKind::Window) return russian ? kWindowRu : kWindowEn;
  return russian ? kHiddenRu : kHiddenEn;
}

std::string versionText(ProgramKind kind) {
  return std::string(kind == ProgramKind::Window ? "quillaro " : "quillaro-run ") + QUILLARO_VERSION + "\n";
}

bool printUsageOrVersion(const ProgramArguments& args, ProgramKind kind, std::FILE* out) {
  if (!args.help && !args.version) return false;
  const std::string text = args.help ? usageText(kind, russianLocale()) : versionText(kind);
  std::fputs(text.c_str(), out);
  return true;
}

}  // namespace quillaro
