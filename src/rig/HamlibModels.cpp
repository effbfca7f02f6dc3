#include "HamlibModels.h"

#include "RigLog.h"

#include <hamlib/rig.h>

#include <QByteArray>

#include <algorithm>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace HamlibModels {

namespace {

int logHamlibMessage(enum rig_debug_level_e, rig_ptr_t, const char *format, va_list arguments)
{
    if (!lcRig().isDebugEnabled())
        return 0;
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    qCDebug(lcRig).noquote() << "Hamlib:" << QByteArray(text).trimmed();
    return 0;
}

int collectModel(const struct rig_caps *caps, rig_ptr_t data)
{
    auto *models = static_cast<QList<HamlibModel> *>(data);
    models->append({static_cast<int>(caps->rig_model), QString::fromLatin1(caps->mfg_name),
                    QString::fromLatin1(caps->model_name)});
    return 1; // go on
}

bool byMakerAndName(const HamlibModel &a, const HamlibModel &b)
{
    const int maker = a.maker.compare(b.maker, Qt::CaseInsensitive);
    if (maker != 0)
        return maker < 0;
    const int name = a.name.compare(b.name, Qt::CaseInsensitive);
    return name != 0 ? name < 0 : a.number < b.number;
}

} // namespace

void prepare()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::setlocale(LC_NUMERIC, "C");
        rig_set_debug_callback(logHamlibMessage, nullptr);
        rig_set_debug(lcRig().isDebugEnabled() ? RIG_DEBUG_VERBOSE : RIG_DEBUG_ERR);
        rig_load_all_backends();
    });
}

QList<HamlibModel> all()
{
    static const QList<HamlibModel> models = [] {
        prepare();
        QList<HamlibModel> list;
        rig_list_foreach(collectModel, &list);
        std::sort(list.begin(), list.end(), byMakerAndName);
        return list;
    }();
    return models;
}

std::optional<HamlibModel> find(int number)
{
    for (const HamlibModel &model : all()) {
        if (model.number == number)
            return model;
    }
    return std::nullopt;
}

QString version()
{
    return QString::fromLatin1(hamlib_version2);
}

} // namespace HamlibModels
