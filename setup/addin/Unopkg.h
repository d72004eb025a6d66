#pragma once

#include <string>
#include <vector>

// The office's extension manager (program/unopkg), run without a terminal:
// standard input is /dev/null, its temporary and cache files go into a folder
// of ours, and a run that takes longer than the limit is killed with its group.
class CUnopkg {
public:
    struct Result {
        bool ran = false;     // started and ended within the limit
        int exitCode = -1;
        std::string output;   // standard output and error together
        std::string problem;  // why it did not run, when it did not
    };

    // workFolder receives TMPDIR, XDG_CACHE_HOME and the output file.
    explicit CUnopkg(std::string workFolder);

    // The unopkg beside the office's soffice; empty when there is no office.
    static std::string Locate();

    // Runs unopkg with arguments, plus the shared-folder overrides when the
    // environment sets ORVIK_ADDIN_SHARED_DIR.
    Result Run(const std::vector<std::string>& arguments) const;

    static constexpr int kLimitSeconds = 120;

private:
    std::vector<std::string> SharedFolderOverrides() const;

    std::string m_strWorkFolder;
};
