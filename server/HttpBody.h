#pragma once

#include "BodyFile.h"

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/optional.hpp>

#include <memory>

// A Beast body that spools what it receives to a BodyFile, piece by piece.
struct SpoolBody {
    using value_type = std::shared_ptr<BodyFile>;

    class reader {
    public:
        template <bool isRequest, class Fields>
        reader(boost::beast::http::header<isRequest, Fields>&, value_type& body) : body_(body)
        {
        }

        void init(const boost::optional<std::uint64_t>&, boost::beast::error_code& error)
        {
            try {
                body_ = std::make_shared<BodyFile>();
                error = {};
            } catch (const std::exception&) {
                error = boost::beast::errc::make_error_code(boost::beast::errc::io_error);
            }
        }

        template <class ConstBufferSequence>
        std::size_t put(const ConstBufferSequence& buffers, boost::beast::error_code& error)
        {
            std::size_t taken = 0;
            try {
                for (const auto buffer : boost::beast::buffers_range_ref(buffers)) {
                    body_->append(static_cast<const char*>(buffer.data()), buffer.size());
                    taken += buffer.size();
                }
                error = {};
            } catch (const std::exception&) {
                error = boost::beast::errc::make_error_code(boost::beast::errc::no_space_on_device);
            }
            return taken;
        }

        void finish(boost::beast::error_code& error) { error = {}; }

    private:
        value_type& body_;
    };
};
