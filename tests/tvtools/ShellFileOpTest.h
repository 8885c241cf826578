#pragma once

#include "ShellFileOp.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

// Fixture of the batch file operation tests: builds small trees in the test's own
// folder and runs one CShellFileOp on them. Relative paths are below the folder.
class ShellFileOpTest : public tbmtest::TempDirTest
{
protected:
    std::string P(const std::string& path) const;
    void File(const std::string& path, const std::string& content = "x", mode_t mode = 0644);
    void Folder(const std::string& path, mode_t mode = 0755);
    void Link(const std::string& path, const std::string& target);
    std::string Read(const std::string& path) const;
    bool Has(const std::string& path) const;
    struct stat Stat(const std::string& path) const;
    void SetTime(const std::string& path, long long seconds, long nanoseconds);

    // Fills the lists (relative paths made absolute) and runs `operation`.
    int Do(unsigned operation, const std::vector<std::string>& sources,
           const std::vector<std::string>& targets, std::uint16_t flags);
    // Answers the confirmation questions in order (Cancel once the script ends) and
    // records them in m_questions.
    void Script(const std::vector<ShellConfirmAnswer>& answers);

    CShellFileOp m_op;
    std::vector<ShellConfirmQuestion> m_questions;

private:
    std::vector<ShellConfirmAnswer> m_answers;
};
