#include "reports/PdfObjectWriter.h"

#include <zlib.h>

namespace qo::pdf {

namespace {

QByteArray deflated(const QByteArray &data, int level)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
                  uLong(data.size()), level) != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}

} // namespace

void ObjectWriter::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty() || m_stop; });
            if (m_stop)
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
        }
        m_room.notify_all();
        writeJob(job);
        {
            std::lock_guard lock(m_mutex);
            m_busy = false;
        }
        m_room.notify_all();
    }
}

void ObjectWriter::write(const QByteArray &b)
{
    if (m_failed.load())
        return;
    if (m_out->write(b) != b.size())
        m_failed = true;
    m_pos += b.size();
}

void ObjectWriter::writeJob(const Job &job)
{
    if (job.id < 0) {
        write(job.dict);
        return;
    }
    if (size_t(job.id) >= m_offsets.size())
        m_offsets.resize(size_t(job.id) + 1, 0);
    m_offsets[size_t(job.id)] = m_pos;
    const QByteArray head = QByteArray::number(job.id) + " 0 obj\n";
    if (!job.hasStream) {
        write(head + job.dict + "\nendobj\n");
        return;
    }
    const QByteArray packed = deflated(job.stream, job.level);
    QByteArray dict = job.dict;
    dict.chop(2); // ">>"
    dict += "/Length " + QByteArray::number(packed.size()) + " /Filter /FlateDecode >>\nstream\n";
    write(head + dict);
    write(packed);
    write("\nendstream\nendobj\n");
}

} // namespace qo::pdf
