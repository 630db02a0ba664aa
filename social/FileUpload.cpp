#include "social/FileUpload.h"

#include "platform/win32/FileSystemPath.h"
#include "social/ExceptionStyles.h"
#include "social/FinalUploadTag.h"
#include "social/UploadProgress.h"

#include <filesystem>
#include <system_error>

namespace social {

namespace {

enum class FileState { Missing, Empty, Present };

FileState ExamineUploadFile(const std::u16string& filePath)
{
    const std::filesystem::path path = FileSystemPath(filePath);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return FileState::Missing;
    // Only a regular file has content to send; a folder counts as an empty file.
    if (!std::filesystem::is_regular_file(status))
        return FileState::Empty;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return FileState::Missing;
    return size == 0 ? FileState::Empty : FileState::Present;
}

}  // namespace

std::u16string RunFileUpload(JobContext& job, const FileUploadTexts& texts, const std::u16string& filePath,
                             const FileUploadRequest& request)
{
    std::u16string result;
    job.AppendLog(std::u16string(texts.openingLine) + filePath);
    job.SetStatusTag(std::u16string(texts.openingTag));
    Tavik::CHttpClient client;
    switch (ExamineUploadFile(filePath)) {
    case FileState::Missing: job.AppendLog(std::u16string(texts.notFoundLine) + filePath); return result;
    case FileState::Empty: job.AppendLog(std::u16string(texts.emptyFileLine) + filePath); return result;
    case FileState::Present: break;
    }
    RunRecovering(job, texts.failureTag, [&] {
        request.setUp(client);
        client.StartUploadContext(request.address.c_str(), Tavik::DEFAULT_REQUEST_FLAGS);
        const ResponsePtr response = DriveUploadContext(job, client, texts.progressTagPrefix);
        const ResponseHead head = ReadResponseHead(job, *response, ServerReturnedLine::Always);
        result = request.evaluate(head, *response);
        SetFinalUploadTag(job, result, head.statusText, texts.failureTag);
    });
    return result;
}

}  // namespace social
