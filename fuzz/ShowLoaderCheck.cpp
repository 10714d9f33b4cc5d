#include "ShowLoaderCheck.h"

#include "model/OrinSUBDoc.h"
#include "model/ShowFileReader.h"
#include "model/ShowFileWriter.h"

namespace orinsub::fuzz {

std::string CheckShowLoader(std::span<const uint8_t> bytes)
{
    using namespace orinsub::model;

    ShowFileParse parse = ShowFileReader::Parse(bytes);
    if (parse.status != ShowFileStatus::Ok) {
        if (!parse.content.channels.empty() || !parse.content.subMasters.empty() ||
            !parse.content.extension.IsDefault())
            return "a rejected file handed out records";
        if (parse.status == ShowFileStatus::Corrupt && parse.problem.isEmpty())
            return "a corrupt file came without a problem text";
        return {};
    }
    if (!parse.content.IsComplete())
        return "an accepted file is incomplete";

    // One document for every input: applying must replace everything a show stores.
    static COrinSUBDoc doc;
    const ShowFileContent loaded = parse.content;
    std::move(parse.content).ApplyTo(doc);
    const QByteArray saved = ShowFileWriter::Encode(doc);
    const ShowFileParse again = ShowFileReader::Parse(
        {reinterpret_cast<const uint8_t *>(saved.constData()), static_cast<size_t>(saved.size())});
    if (again.status != ShowFileStatus::Ok)
        return "a saved show does not read back";
    if (!(again.content == loaded))
        return "a saved show reads back different";
    return {};
}

} // namespace orinsub::fuzz
