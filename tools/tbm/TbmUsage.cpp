#include "TbmUsage.h"

const char* CTbmUsage::Full()
{
    return "Usage: tbm COMMAND [OPTIONS]\n"
           "\n"
           "Tovan Backup Manager on the command line.\n"
           "\n"
           "  tbm backup [--job NAME] [--output FILE] [--type normal|update|sync]\n"
           "             [--password-file F | --password-env VAR]\n"
           "             [--encryption aes256|traditional] [--volume-size SIZE]\n"
           "             [--on-error ask|skip|cancel] [--threads N] [--no-verify] [PATH...]\n"
           "      Back up the PATHs (saved as the job's selection with --job), or the\n"
           "      saved job NAME, or by default the documents folder (job \"My Documents\")\n"
           "      into the documents folder's \"My Backups\". SIZE (e.g. 100M) splits the\n"
           "      backup into parts title.000, title.001, ... and title.tbm.\n"
           "      With a password the files are encrypted with AES-256, or with\n"
           "      --encryption traditional in the form every ZIP tool reads; a saved job\n"
           "      that has a password keeps its method. --threads N compresses on N\n"
           "      threads (0, the default: one per core); the backup is the same\n"
           "      whatever N is.\n"
           "  tbm verify FILE [--password-file F | --password-env VAR]\n"
           "      Test every entry of a backup file.\n"
           "  tbm list FILE [--json]\n"
           "      List the entries: size, compressed size, time, CRC and name (--json\n"
           "      adds whether and how each is encrypted).\n"
           "  tbm extract FILE --to DIR [--password-file F | --password-env VAR]\n"
           "      Extract every entry with its stored path below DIR.\n"
           "  tbm restore FILE [--to DIR [--flat]] [--existing keep|newer|replace]\n"
           "             [--only PATTERN]... [--password-file F | --password-env VAR]\n"
           "      Put the backed-up files back where they came from, or below DIR with\n"
           "      their folders (--flat: all directly in DIR). --existing says what\n"
           "      happens to a file already there (default: the preference, else keep);\n"
           "      --only restores the files whose path or its end matches PATTERN.\n"
           "\n"
           "  -h, --help      show this help\n"
           "      --version   show the version\n"
           "\n"
           "Passwords are never given on the command line itself.\n"
           "Exit status: 0 success, 1 failure (a damaged backup, or files that could not\n"
           "be read, added or restored), 2 usage error, 3 cancelled.\n";
}

const char* CTbmUsage::Short()
{
    return "Usage: tbm backup [OPTIONS] [PATH...] | verify FILE | list FILE [--json] |\n"
           "       extract FILE --to DIR | restore FILE [--to DIR]\n"
           "       (tbm --help tells more)\n";
}
