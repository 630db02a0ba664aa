#include "tools/standin/Options.h"

#include <filesystem>
#include <functional>
#include <map>
#include <system_error>

#ifndef ZENDRIK_STANDIN_CERT_DIR
#define ZENDRIK_STANDIN_CERT_DIR "tests/data/certs"
#endif

namespace standin {

namespace {

struct Option {
    bool takesValue;
    std::function<bool(StandinOptions&, const std::string&)> apply;
};

bool ToInt(const std::string& text, int minimum, int& out)
{
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used != text.size() || value < minimum)
            return false;
        out = value;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

Option Text(std::string StandinOptions::*member)
{
    return {true, [member](StandinOptions& o, const std::string& v) {
                o.*member = v;
                return true;
            }};
}
Option ConfigText(std::string StandinConfig::*member)
{
    return {true, [member](StandinOptions& o, const std::string& v) {
                o.config.*member = v;
                return true;
            }};
}
Option ConfigFlag(bool StandinConfig::*member)
{
    return {false, [member](StandinOptions& o, const std::string&) {
                o.config.*member = true;
                return true;
            }};
}
Option ConfigCount(int StandinConfig::*member, int minimum)
{
    return {true,
            [member, minimum](StandinOptions& o, const std::string& v) { return ToInt(v, minimum, o.config.*member); }};
}

const std::map<std::string, Option>& Options()
{
    static const std::map<std::string, Option> options = {
        {"--port-base",
         {true,
          [](StandinOptions& o, const std::string& v) { return ToInt(v, 0, o.portBase) && o.portBase <= 65528; }}},
        {"--cert", Text(&StandinOptions::certificate)},
        {"--key", Text(&StandinOptions::key)},
        {"--ca", Text(&StandinOptions::authority)},
        {"--data", Text(&StandinOptions::dataDir)},
        {"--keep-data", {false, [](StandinOptions& o, const std::string&) { return o.keepData = true; }}},
        {"--album",
         {true,
          [](StandinOptions& o, const std::string& v) {
              o.albums.push_back({v, true});
              return true;
          }}},
        {"--readonly-album",
         {true,
          [](StandinOptions& o, const std::string& v) {
              o.albums.push_back({v, false});
              return true;
          }}},
        {"--closed",
         {true,
          [](StandinOptions& o, const std::string& v) {
              static const std::set<std::string> hosts = {"graph",    "video",      "web",
                                                          "redirect", "gif-upload", "gif-media"};
              return hosts.count(v) > 0 && o.closedHosts.insert(v).second;
          }}},
        {"--token", ConfigText(&StandinConfig::fixedToken)},
        {"--email", ConfigText(&StandinConfig::email)},
        {"--password", ConfigText(&StandinConfig::password)},
        {"--user-name", ConfigText(&StandinConfig::userName)},
        {"--user-id", ConfigText(&StandinConfig::userId)},
        {"--app-id", ConfigText(&StandinConfig::appId)},
        {"--gif-api-key", ConfigText(&StandinConfig::gifApiKey)},
        {"--token-expires-in", ConfigCount(&StandinConfig::tokenExpiresIn, 0)},
        {"--album-page-size", ConfigCount(&StandinConfig::albumPageSize, 1)},
        {"--autosubmit", ConfigFlag(&StandinConfig::autosubmit)},
        {"--autosubmit-delay", ConfigCount(&StandinConfig::autosubmitDelayMs, 0)},
        {"--close-window", ConfigFlag(&StandinConfig::closeWindow)},
        {"--deny-login", ConfigFlag(&StandinConfig::denyLogin)},
        {"--logout-keeps-session",
         {false,
          [](StandinOptions& o, const std::string&) {
              o.config.logoutEndsSession = false;
              return true;
          }}},
        {"--logout-redirect", ConfigFlag(&StandinConfig::logoutRedirect)},
        {"--discard-uploads", ConfigFlag(&StandinConfig::discardUploads)},
        {"--help", {false, [](StandinOptions& o, const std::string&) { return o.help = true; }}},
        {"--version", {false, [](StandinOptions& o, const std::string&) { return o.version = true; }}},
    };
    return options;
}

// Installed, the test certificate lies in ../share/zendrik2-standin/certs beside the
// executable; in a build tree the source tree's copy serves.
std::string DefaultCertificateFolder()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed = executable.parent_path().parent_path() / "share/zendrik2-standin/certs";
        if (std::filesystem::exists(installed / "server.pem", error))
            return installed.string();
    }
    return ZENDRIK_STANDIN_CERT_DIR;
}

}  // namespace

StandinOptions ParseOptions(int argc, char** argv, std::string& error)
{
    StandinOptions options;
    const std::string certs = DefaultCertificateFolder();
    options.certificate = certs + "/server.pem";
    options.key = certs + "/server-key.pem";
    options.authority = certs + "/ca.pem";
    bool defaultAlbums = true;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i], value;
        if (name == "--no-default-albums") {
            defaultAlbums = false;
            continue;
        }
        const std::size_t eq = name.find('=');
        const bool glued = eq != std::string::npos;
        if (glued) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const auto option = Options().find(name);
        if (option == Options().end()) {
            error = "unknown option " + name;
            return options;
        }
        if (option->second.takesValue && !glued) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return options;
            }
            value = argv[++i];
        }
        if (!option->second.apply(options, value)) {
            error = "bad value for " + name + ": " + value;
            return options;
        }
    }
    // A new account has these, and the service never lets anyone upload into them.
    if (defaultAlbums) {
        options.albums.insert(options.albums.begin(),
                              {{"Profile Pictures", false}, {"Cover Photos", false}, {"Timeline Photos", false}});
    }
    return options;
}

const char* VersionLine() { return "zendrik2-standin " ZENDRIK_VERSION_TEXT "\n"; }

const char* Usage()
{
    return "usage: zendrik2-standin [options]\n"
           "  --port-base N          listeners on N..N+6 (graph, video, web, redirect, gif-upload,\n"
           "                         gif-media, admin); 0 or absent: free ports\n"
           "  --cert FILE --key FILE server certificate and key (default: the test certificate)\n"
           "  --ca FILE              authority printed as ZENDRIK_CA_FILE\n"
           "  --data DIR             data folder (default: a temporary one, removed at exit)\n"
           "  --keep-data            keep the temporary data folder\n"
           "  --closed HOST          HOST (graph, video, web, ...) refuses connections until opened\n"
           "                         through POST /_admin/hosts (repeatable)\n"
           "  --token TOKEN          a fixed access token that is always valid\n"
           "  --email ADDRESS        the e-mail the login accepts (default: any)\n"
           "  --password TEXT        the password the login accepts (default: secret)\n"
           "  --user-name NAME       --user-id ID     the logged-in user\n"
           "  --app-id ID            the only client_id the dialog accepts (default: any number)\n"
           "  --gif-api-key KEY      the GIF service's accepted key (default: Qv7mRtX2pLw9K)\n"
           "  --album NAME           --readonly-album NAME   pre-create albums (repeatable)\n"
           "  --no-default-albums    no Profile Pictures / Cover Photos / Timeline Photos\n"
           "  --album-page-size N    albums per listing page (default 25)\n"
           "  --token-expires-in S   the expires_in of issued tokens (default 5400)\n"
           "  --autosubmit           the login form submits itself once both fields are filled\n"
           "  --autosubmit-delay MS  wait before submitting (default 800)\n"
           "  --close-window         the login form page closes its window\n"
           "  --deny-login           a good login ends with the access_denied redirect\n"
           "  --logout-keeps-session a logout with a token leaves the browser session open\n"
           "  --logout-redirect      the logout page answers 302 to \"next\"\n"
           "  --discard-uploads      upload bodies are read and thrown away unparsed\n"
           "  --help                 this text     --version   the name and version\n";
}

}  // namespace standin
